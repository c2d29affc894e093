// Building the common dialogs' filter string from the core's type list.
#include "file_dialog_filter.h"

#include "utf16.h"

namespace brevorn {

std::wstring fileDialogFilter(std::span<const FileFilter> filters)
{
    std::wstring out;
    for (const FileFilter& filter : filters) {
        // The core separates patterns with ";", as the common dialogs do.
        std::wstring patterns;
        const std::wstring given = toUtf16(filter.patterns);
        std::wstring_view rest = given;
        while (!rest.empty()) {
            const std::size_t end = rest.find(L';');
            std::wstring_view pattern = rest.substr(0, end);
            if (!patterns.empty())
                patterns += L';';
            patterns += pattern == L"*" ? std::wstring_view(L"*.*") : pattern;
            rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        }
        out += toUtf16(filter.name) + L" (" + patterns + L")";
        out += L'\0';
        out += patterns;
        out += L'\0';
    }
    out += L'\0';
    return out;
}

std::wstring defaultExtension(std::span<const FileFilter> filters)
{
    if (filters.empty())
        return {};
    const std::wstring patterns = toUtf16(filters.front().patterns);
    const std::wstring first = patterns.substr(0, patterns.find(L';'));
    if (!first.starts_with(L"*.") || first.find_first_of(L"*?", 2) != std::wstring::npos || first.size() == 2)
        return {};
    return first.substr(2);
}

} // namespace brevorn
