#include "data/database_connection.h"

DataBaseConnection& DataBaseConnection::GetInstance() {
    static DataBaseConnection instance;
    return instance;
}

void DataBaseConnection::SetUri(const wchar_t* uri) {
    uri_.reset();
    if (uri) uri_ = std::wstring(uri);
}
