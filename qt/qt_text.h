// Texts and paths between Qt and the core, which speaks UTF-8 and std::filesystem::path.
#pragma once

#include <QString>

#include <filesystem>
#include <string_view>

namespace brevorn {

inline QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// Through UTF-16, so a name outside the local code page survives on every platform.
inline std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

inline QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

} // namespace brevorn
