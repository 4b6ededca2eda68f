// The five texts of the About box, from the module's version resource.
#pragma once

#include <string>

struct AboutTexts {
    std::wstring description, company, name, version, notice;
};

// Reads them while a version reader lives (so they exist even when nothing
// else holds the values); empty texts when the resource has no Russian block.
AboutTexts ReadAboutTexts();
