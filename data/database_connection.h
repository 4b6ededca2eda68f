// The process-wide holder of the host database's location.
#pragma once

#include <optional>
#include <string>

class DataBaseConnection {
public:
    virtual ~DataBaseConnection() = default;

    // The holder, created without a location on first use.
    static DataBaseConnection& GetInstance();

    // Stores a copy of the location; a null text leaves none.
    void SetUri(const wchar_t* uri);
    // The held location, or nullptr when the host gave none.
    const wchar_t* GetUri() const { return uri_ ? uri_->c_str() : nullptr; }

private:
    DataBaseConnection() = default;
    std::optional<std::wstring> uri_;
};
