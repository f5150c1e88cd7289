// The GDAL, libgeotiff and libtiff command-line tools as makers of test files and as oracles:
// running them, skipping a test without them, and reading what they report.
#pragma once

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

inline bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Skips the test, saying why, unless every named tool is installed.
#define REQUIRE_TOOLS(...)                                                                         \
    for (const char* tool : {__VA_ARGS__}) {                                                       \
        if (!HaveTool(tool)) {                                                                     \
            GTEST_SKIP() << tool << " is not installed";                                           \
        }                                                                                          \
    }

// Runs a shell command; returns its standard output and error together.
inline std::string RunTool(const std::string& command, int* status = nullptr) {
    std::string output;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return output;
    }
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, got);
    }
    const int result = ::pclose(pipe);
    if (status != nullptr) {
        *status = result;
    }
    return output;
}

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// The lines of a tool's output that warn or report an error; libtiff's notices of tags it
// does not know are not warnings about the file.
inline std::string Complaints(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    std::string complaints;
    while (std::getline(lines, line)) {
        std::string lower = line;
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        const bool complains =
            lower.find("warn") != std::string::npos || lower.find("error") != std::string::npos;
        if (complains && line.find("Unknown field with tag") == std::string::npos) {
            complaints += line + "\n";
        }
    }
    return complaints;
}

inline std::string GdalInfo(const std::string& path) {
    return RunTool("gdalinfo -json " + Quoted(path));
}

// The six numbers of "geoTransform" in gdalinfo -json, empty when there is none.
inline std::vector<double> GeoTransform(const std::string& json) {
    std::vector<double> numbers;
    const auto key = json.find("\"geoTransform\"");
    if (key == std::string::npos) {
        return numbers;
    }
    std::size_t at = json.find('[', key) + 1;
    const std::size_t end = json.find(']', at);
    while (at < end) {
        char* stop = nullptr;
        numbers.push_back(std::strtod(json.c_str() + at, &stop));
        at = json.find(',', static_cast<std::size_t>(stop - json.c_str()));
        at = at == std::string::npos || at > end ? end : at + 1;
    }
    return numbers;
}

// The number of overviews of band 1 in gdalinfo -json.
inline int OverviewCount(const std::string& json) {
    const auto key = json.find("\"overviews\"");
    if (key == std::string::npos) {
        return 0;
    }
    int count = 0;
    int depth = 0;
    for (std::size_t at = json.find('[', key); at < json.size(); ++at) {
        if (json[at] == '[') {
            ++depth;
        } else if (json[at] == ']' && --depth == 0) {
            break;
        } else if (json[at] == '{' && depth == 1) {
            ++count;
        }
    }
    return count;
}

// Every checksum gdalinfo -checksum reports: each band's, then its overviews', in order.
inline std::vector<long> Checksums(const std::string& path) {
    std::istringstream lines(RunTool("gdalinfo -checksum " + Quoted(path)));
    std::vector<long> sums;
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = line.find("Checksum=");
        if (at != std::string::npos) {
            sums.push_back(std::strtol(line.c_str() + at + 9, nullptr, 10));
        }
        at = line.find("Overviews checksum:");
        if (at != std::string::npos) {
            std::istringstream numbers(line.substr(at + 19));
            for (std::string number; std::getline(numbers, number, ',');) {
                sums.push_back(std::strtol(number.c_str(), nullptr, 10));
            }
        }
    }
    return sums;
}

// The values listgeo prints for a tag of its "Tagged_Information" (as "ModelPixelScaleTag
// (1,3):" followed by rows of numbers), row after row; empty when it prints none.
inline std::vector<double> ListgeoTag(const std::string& path, const std::string& tag) {
    std::istringstream lines(RunTool("listgeo " + Quoted(path)));
    std::vector<double> values;
    int rows = 0;
    for (std::string line; std::getline(lines, line);) {
        if (rows > 0) {
            std::istringstream numbers(line);
            for (double value = 0; numbers >> value;) {
                values.push_back(value);
            }
            --rows;
            continue;
        }
        const std::size_t at = line.find(tag + " (");
        if (at != std::string::npos) {
            rows = std::atoi(line.c_str() + at + tag.size() + 2);
        }
    }
    return values;
}
