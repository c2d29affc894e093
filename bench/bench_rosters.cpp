// Rosters and roster files made up for the benchmarks.
#include "bench_rosters.h"

#include "roster_writer.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace brevorn::bench {

Roster fullRoster()
{
    Roster roster;
    roster.UnitCount = MaxUnits;
    int slot = 0;
    for (UnitRecord& unit : roster.units()) {
        ++slot;
        unit.unit_name = "Unit " + std::to_string(slot) + " Panzergrenadier Kompanie";
        unit.unit_type = "Medium Tank";
        unit.unit_ammo = std::to_string(slot % 11);
        unit.unit_fuel = std::to_string((slot * 7) % 11);
        unit.unit_quality = "Veteran";
        unit.unit_status = "OK";
        unit.unit_orders = "Dismount & Maneuver";
        unit.unit_side = slot % 2 ? "Blue" : "Red";
        unit.unit_losses = std::to_string(slot % 10);
        unit.unit_SA = "MG";
        unit.unit_HE = "Medium";
        unit.unit_AP = "Heavy";
        unit.unit_AA = "None";
        unit.unit_armor_type = slot % 3 ? "Medium" : "None";
        unit.unit_smoke = "Yes";
    }
    return roster;
}

GameSettings benchGame()
{
    return {"12", "Northern European", "Rainy Season"};
}

std::string benchDataPath(const std::string& name)
{
    const char* dir = std::getenv("BREVORN_BENCH_DIR");
    std::filesystem::path base = dir ? dir : std::filesystem::temp_directory_path().string();
    std::filesystem::create_directories(base);
    return (base / name).string();
}

std::uint64_t largeFileMiB()
{
    const char* size = std::getenv("BREVORN_BENCH_LARGE_MIB");
    return size ? std::strtoull(size, nullptr, 10) : 1024;
}

namespace {

// Writes the file once, through a temporary name, so an interrupted run leaves no
// half-made file behind to be mistaken for a whole one.
template <class Fill>
std::string makeOnce(const std::string& name, Fill fill)
{
    std::string path = benchDataPath(name);
    if (std::filesystem::exists(path))
        return path;
    std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        fill(out);
        if (!out.flush())
            throw std::runtime_error("cannot write " + partial);
    }
    std::filesystem::rename(partial, path);
    return path;
}

} // namespace

std::string largeRosterFile(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-large-" + std::to_string(sizeMiB) + ".txt", [&](std::ofstream& out) {
        std::string bytes = rosterFileBytes(fullRoster(), benchGame()).value();
        std::uint64_t perUnit = sizeMiB * 1024 * 1024 / MaxUnits;
        std::string history = "unit_history=";
        while (history.size() + 2 < perUnit)
            history += "Crossed the river at dawn; held the ridge against two attacks. ";
        history.resize(perUnit - 2);
        history += "\r\n";
        // Each block starts with its name line: put the long line right after it.
        std::size_t at = bytes.find("UNITS:\r\n") + 8;
        out.write(bytes.data(), static_cast<std::streamsize>(at));
        while (at < bytes.size()) {
            std::size_t nameEnd = bytes.find("\r\n", at) + 2;
            std::size_t blockEnd = bytes.find("\r\n\r\n", nameEnd) + 4;
            out.write(bytes.data() + at, static_cast<std::streamsize>(nameEnd - at));
            out.write(history.data(), static_cast<std::streamsize>(history.size()));
            out.write(bytes.data() + nameEnd, static_cast<std::streamsize>(blockEnd - nameEnd));
            at = blockEnd;
        }
    });
}

std::string denseRosterFile(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-dense-" + std::to_string(sizeMiB) + ".txt", [&](std::ofstream& out) {
        const std::string section =
            "GAME:\r\nDay_Counter=12\r\nTheatre=Desert\r\nSeason=Summer\r\nWeather=Rain\r\n\r\n";
        std::string chunk;
        while (chunk.size() < (1u << 20))
            chunk += section;
        for (std::uint64_t written = 0; written < sizeMiB * 1024 * 1024; written += chunk.size())
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    });
}

std::string largeValueFile(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-value-" + std::to_string(sizeMiB) + ".txt", [&](std::ofstream& out) {
        out << "GAME:\r\nDay_Counter=12\r\nTheatre=";
        std::string chunk;
        while (chunk.size() < (1u << 20))
            chunk += "Northern European ";
        chunk.resize(1u << 20);
        for (std::uint64_t i = 0; i < sizeMiB; ++i)
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        out << "\r\nSeason=Summer\r\n\r\nUNITS:\r\n";
    });
}

std::uint64_t tableFileMiB()
{
    const char* size = std::getenv("BREVORN_BENCH_TABLE_MIB");
    return size ? std::strtoull(size, nullptr, 10) : 50;
}

std::string badRowsTable(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-bad-rows-" + std::to_string(sizeMiB) + ".csv", [&](std::ofstream& out) {
        out << "unit_name,unit_side,unit_ammo,unit_fuel\r\n";
        std::string chunk;
        for (int row = 0; chunk.size() < (1u << 20); ++row)
            chunk += "Unit " + std::to_string(row) + ",Blue,N/A,3\r\n";
        for (std::uint64_t written = 0; written < sizeMiB * 1024 * 1024; written += chunk.size())
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    });
}

std::string unknownColumnsTable(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-unknown-columns-" + std::to_string(sizeMiB) + ".csv", [&](std::ofstream& out) {
        std::string chunk;
        for (int column = 0; chunk.size() < (1u << 20); ++column)
            chunk += "unit_x" + std::to_string(column) + ",";
        for (std::uint64_t written = 0; written < sizeMiB * 1024 * 1024; written += chunk.size())
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        out << "unit_name\r\nAble\r\n";
    });
}

std::string longNamesTable(std::uint64_t sizeMiB)
{
    return makeOnce("brevorn-long-names-" + std::to_string(sizeMiB) + ".csv", [&](std::ofstream& out) {
        out << "unit_name,unit_side,unit_ammo\r\n";
        std::string name;
        while (name.size() < sizeMiB * 1024 * 1024 / MaxUnits)
            name += "Kampfgruppe Nord ";
        name.resize(sizeMiB * 1024 * 1024 / MaxUnits);
        for (int row = 0; row < MaxUnits; ++row)
            out << name << ",Blue," << row % 11 << "\r\n";
    });
}

} // namespace brevorn::bench
