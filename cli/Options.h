#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the command line asks for.
struct Options {
    bool jsonl = false;
    bool text = false;
    bool variants = false;
    bool field = false; // the field computation beside the coefficient method
    bool force = false;
    std::string input = "-";
    std::optional<std::filesystem::path> report;
    std::optional<std::filesystem::path> reportTemplate;
    std::string office;
    std::optional<std::filesystem::path> survey;
    std::optional<std::filesystem::path> fieldMap;
    std::optional<std::filesystem::path> dxf;
};

// The help: what telmar-calc does, its input fields and its options.
std::string Usage();

// The options of the command line; --help and --version answer and end the run, and a
// slip ends it with the reason.
Options ParseOptions(int argc, char *argv[]);
