#include "ui/model/about_texts.h"

#include "host/version_info.h"

AboutTexts ReadAboutTexts() {
    VersionInfoReader reader;
    const PluginInfoBlock& block = GetPluginInfoBlock();
    auto text = [](const wchar_t* p) { return std::wstring(p ? p : L""); };
    return {text(block.info.description), text(block.info.company), text(block.info.name),
            text(block.productVersion), text(block.info.legalNotice)};
}
