// Small text and file helpers of the simulated host.
#pragma once

#include <string>

std::wstring WideFromUtf8Sim(const std::string& utf8);
std::string Utf8FromWideSim(const std::wstring& wide);
bool ReadWholeFile(const std::wstring& path, std::string& content);
bool WriteWholeFile(const std::wstring& path, const std::string& content);
// A JSON string literal of a UTF-8 text (quotes included); null for a null pointer.
std::string JsonString(const std::string& utf8);
std::string JsonWide(const wchar_t* text);
// Writes UTF-8 to standard output (wine's wide console output is unreliable).
void WriteOut(const std::string& utf8);
void WriteErr(const std::string& utf8);
