// The identifiers a scenario names: controls, dialog templates and menu
// commands of the plug-in, by their names in resources/resource.h.
#pragma once

#include <string>

// Reads the ID word of a scenario command. A word that begins with a letter or
// '_' is a name and must be one resources/resource.h defines ("IDC_MAIN_SETTINGS");
// any other word is the number itself, as std::atoi reads it (an empty word is 0).
// False, with `error` naming the word, for a name the header does not define.
bool ReadScenarioId(const std::string& word, int& id, std::string& error);
