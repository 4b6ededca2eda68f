#include "tools/host-sim/odt_fill.h"

#include <cwchar>

namespace {

constexpr const wchar_t kDataPrefix[] = L"data:";

// Qualified names of the elements and attributes the filling looks at, with the
// prefixes this document binds to the OpenDocument namespaces.
struct Names {
    std::wstring placeholder, space, spaceCount, tab, lineBreak, section, sectionName;
    std::wstring table, row, rowsRepeated;
    std::wstring frame, frameName, image, width, height;
    std::wstring href, hrefType, hrefShow, hrefActuate;

    explicit Names(pugi::xml_node root) {
        std::wstring text = NamespacePrefix(root, OdfNamespace::kText, L"text");
        std::wstring tbl = NamespacePrefix(root, OdfNamespace::kTable, L"table");
        std::wstring draw = NamespacePrefix(root, OdfNamespace::kDrawing, L"draw");
        std::wstring svg = NamespacePrefix(root, OdfNamespace::kSvg, L"svg");
        std::wstring xlink = NamespacePrefix(root, OdfNamespace::kXlink, L"xlink");
        placeholder = text + L"placeholder";
        space = text + L"s";
        spaceCount = text + L"c";
        tab = text + L"tab";
        lineBreak = text + L"line-break";
        section = text + L"section";
        sectionName = text + L"name";
        table = tbl + L"table";
        row = tbl + L"table-row";
        rowsRepeated = tbl + L"number-rows-repeated";
        frame = draw + L"frame";
        frameName = draw + L"name";
        image = draw + L"image";
        width = svg + L"width";
        height = svg + L"height";
        href = xlink + L"href";
        hrefType = xlink + L"type";
        hrefShow = xlink + L"show";
        hrefActuate = xlink + L"actuate";
    }
};

bool IsElement(pugi::xml_node node, const std::wstring& name) {
    return node.type() == pugi::node_element && name == node.name();
}

// The element a section or frame name binds to ("data:NAME"), or empty.
std::wstring BoundElement(const wchar_t* name) {
    const size_t prefix = sizeof kDataPrefix / sizeof kDataPrefix[0] - 1;
    if (std::wcsncmp(name, kDataPrefix, prefix) != 0) return std::wstring();
    return name + prefix;
}

// The name inside a placeholder's text "<NAME>", or empty for another text.
std::wstring PlaceholderName(pugi::xml_node placeholder) {
    std::wstring text = placeholder.child_value();
    if (text.size() < 3 || text.front() != L'<' || text.back() != L'>') return std::wstring();
    return text.substr(1, text.size() - 2);
}

void CollectPlaceholders(pugi::xml_node node, const Names& n, std::vector<pugi::xml_node>& found) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        if (n.placeholder == child.name()) {
            if (!PlaceholderName(child).empty()) found.push_back(child);
        } else {
            CollectPlaceholders(child, n, found);
        }
    }
}

// Replaces a placeholder by the text. Runs of blanks, tabs and line breaks
// become the elements that keep them (a paragraph collapses plain blanks).
void ReplaceByText(pugi::xml_node placeholder, const std::wstring& value, const Names& n) {
    pugi::xml_node parent = placeholder.parent();
    std::wstring run;
    auto flush = [&] {
        if (run.empty()) return;
        parent.insert_child_before(pugi::node_pcdata, placeholder).set_value(run.c_str());
        run.clear();
    };
    for (size_t i = 0; i < value.size();) {
        wchar_t c = value[i];
        if (c == L' ') {
            size_t end = value.find_first_not_of(L' ', i);
            if (end == std::wstring::npos) end = value.size();
            size_t count = end - i;
            if (i > 0) {  // one blank after text stays a blank
                run += L' ';
                --count;
            }
            if (count > 0) {
                flush();
                pugi::xml_node s = parent.insert_child_before(n.space.c_str(), placeholder);
                if (count > 1) s.append_attribute(n.spaceCount.c_str()).set_value(static_cast<unsigned>(count));
            }
            i = end;
            continue;
        }
        if (c == L'\t' || c == L'\n') {
            flush();
            parent.insert_child_before((c == L'\t' ? n.tab : n.lineBreak).c_str(), placeholder);
        } else if (c != L'\r') {
            run += c;
        }
        ++i;
    }
    flush();
    parent.remove_child(placeholder);
}

const std::wstring& Lookup(const std::map<std::wstring, std::wstring>& map, const std::wstring& key) {
    static const std::wstring empty;
    auto it = map.find(key);
    return it == map.end() ? empty : it->second;
}

// Fills the placeholders under node: table fields of `table` from `row`, other
// table fields empty, single values from the document.
void FillPlaceholders(pugi::xml_node node, const ReportData& data, const Names& n, const std::wstring& table,
                      const ReportData::Row* row) {
    std::vector<pugi::xml_node> placeholders;
    CollectPlaceholders(node, n, placeholders);
    for (pugi::xml_node p : placeholders) {
        std::wstring name = PlaceholderName(p);
        size_t slash = name.find(L'/');
        if (slash == std::wstring::npos)
            ReplaceByText(p, Lookup(data.values, name), n);
        else if (row && name.compare(0, slash, table) == 0 && slash == table.size())
            ReplaceByText(p, Lookup(*row, name.substr(slash + 1)), n);
        else
            ReplaceByText(p, std::wstring(), n);
    }
}

// Rows of a table, its nested tables left out.
void CollectRows(pugi::xml_node node, const Names& n, std::vector<pugi::xml_node>& rows) {
    for (pugi::xml_node child : node.children()) {
        if (IsElement(child, n.row))
            rows.push_back(child);
        else if (child.type() == pugi::node_element && n.table != child.name())
            CollectRows(child, n, rows);
    }
}

struct RowPattern {
    pugi::xml_node row;
    std::set<std::wstring> fields;
};

// Repeats the pattern rows of one table element once per data row.
void ExpandTable(pugi::xml_node tableNode, const ReportData& data, const Names& n) {
    std::vector<pugi::xml_node> rows;
    CollectRows(tableNode, n, rows);
    std::vector<std::pair<std::wstring, std::vector<RowPattern>>> groups;
    for (pugi::xml_node row : rows) {
        std::vector<pugi::xml_node> placeholders;
        CollectPlaceholders(row, n, placeholders);
        RowPattern pattern{row, {}};
        std::wstring table;
        for (pugi::xml_node p : placeholders) {
            std::wstring name = PlaceholderName(p);
            size_t slash = name.find(L'/');
            if (slash == std::wstring::npos) continue;
            if (table.empty()) table = name.substr(0, slash);
            if (name.compare(0, slash, table) == 0 && slash == table.size()) pattern.fields.insert(name.substr(slash + 1));
        }
        if (table.empty()) continue;
        auto group = groups.begin();
        while (group != groups.end() && group->first != table) ++group;
        if (group == groups.end()) group = groups.insert(groups.end(), {table, {}});
        group->second.push_back(pattern);
    }
    for (const auto& [table, patterns] : groups) {
        pugi::xml_node anchor = patterns.front().row;
        auto rowsOfTable = data.tables.find(table);
        if (rowsOfTable != data.tables.end()) {
            for (const ReportData::Row& dataRow : rowsOfTable->second) {
                const RowPattern* chosen = &patterns.front();
                for (const RowPattern& p : patterns) {
                    bool fits = true;
                    for (const std::wstring& field : p.fields) fits = fits && dataRow.count(field) > 0;
                    if (fits) {
                        chosen = &p;
                        break;
                    }
                }
                pugi::xml_node copy = anchor.parent().insert_copy_before(chosen->row, anchor);
                copy.remove_attribute(n.rowsRepeated.c_str());
                FillPlaceholders(copy, data, n, table, &dataRow);
            }
        }
        for (const RowPattern& p : patterns) p.row.parent().remove_child(p.row);
    }
}

void ExpandTables(pugi::xml_node node, const ReportData& data, const Names& n) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        if (n.table == child.name()) ExpandTable(child, data, n);
        ExpandTables(child, data, n);  // tables nested in cells, after their own rows were repeated
    }
}

bool ShowPicture(pugi::xml_node frame, const std::wstring& file, const PictureEmbedder& embed, const Names& n) {
    EmbeddedPicture picture;
    if (!embed || !embed(file, picture)) return false;
    frame.remove_children();
    pugi::xml_node image = frame.append_child(n.image.c_str());
    image.append_attribute(n.href.c_str()).set_value(picture.packagePath.c_str());
    image.append_attribute(n.hrefType.c_str()).set_value(L"simple");
    image.append_attribute(n.hrefShow.c_str()).set_value(L"embed");
    image.append_attribute(n.hrefActuate.c_str()).set_value(L"onLoad");
    const wchar_t* widthText = frame.attribute(n.width.c_str()).value();
    wchar_t* unit = nullptr;
    double width = std::wcstod(widthText, &unit);
    if (picture.width > 0 && picture.height > 0 && width > 0 && unit != widthText) {
        wchar_t height[64];
        std::swprintf(height, 64, L"%.3f%ls", width * picture.height / picture.width, unit);
        pugi::xml_attribute h = frame.attribute(n.height.c_str());
        (h ? h : frame.append_attribute(n.height.c_str())).set_value(height);
    }
    return true;
}

// Drops the sections and frames bound to absent elements and fills the frames
// bound to present ones. False when a picture cannot be embedded.
bool ResolveBoundParts(pugi::xml_node node, const ReportData& data, const PictureEmbedder& embed, const Names& n) {
    for (pugi::xml_node child = node.first_child(); child;) {
        pugi::xml_node next = child.next_sibling();
        if (child.type() == pugi::node_element) {
            bool isSection = n.section == child.name();
            bool isFrame = n.frame == child.name();
            std::wstring bound;
            if (isSection) bound = BoundElement(child.attribute(n.sectionName.c_str()).value());
            if (isFrame) bound = BoundElement(child.attribute(n.frameName.c_str()).value());
            if (!bound.empty() && data.present.count(bound) == 0) {
                node.remove_child(child);
            } else if (isFrame && !bound.empty()) {
                if (!ShowPicture(child, Lookup(data.values, bound), embed, n)) return false;
            } else if (!ResolveBoundParts(child, data, embed, n)) {
                return false;
            }
        }
        child = next;
    }
    return true;
}

}  // namespace

std::wstring NamespacePrefix(pugi::xml_node root, const wchar_t* uri, const wchar_t* fallback) {
    for (pugi::xml_attribute a : root.attributes()) {
        if (std::wcsncmp(a.name(), L"xmlns:", 6) == 0 && std::wcscmp(a.value(), uri) == 0)
            return std::wstring(a.name() + 6) + L":";
    }
    std::wstring prefix = fallback;
    for (int n = 2; root.attribute((L"xmlns:" + prefix).c_str()); ++n) prefix = fallback + std::to_wstring(n);
    root.append_attribute((L"xmlns:" + prefix).c_str()).set_value(uri);
    return prefix + L":";
}

bool ReadReportData(const pugi::xml_node& root, ReportData& data) {
    if (root.type() != pugi::node_element || std::wcscmp(root.name(), L"root") != 0) return false;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        std::wstring name = child.name();
        data.present.insert(name);
        bool isTable = false;
        for (pugi::xml_node inner : child.children()) isTable = isTable || inner.type() == pugi::node_element;
        if (!isTable) {
            data.values.emplace(name, child.text().get());
            continue;
        }
        std::vector<ReportData::Row>& rows = data.tables[name];
        for (pugi::xml_node row : child.children(L"row")) {
            ReportData::Row fields;
            for (pugi::xml_node field : row.children())
                if (field.type() == pugi::node_element) fields.emplace(field.name(), field.text().get());
            rows.push_back(std::move(fields));
        }
    }
    return true;
}

bool FillContent(pugi::xml_document& content, const ReportData& data, const PictureEmbedder& embed) {
    pugi::xml_node root = content.document_element();
    Names n(root);
    if (!ResolveBoundParts(root, data, embed, n)) return false;
    ExpandTables(root, data, n);
    FillPlaceholders(root, data, n, std::wstring(), nullptr);
    return true;
}
