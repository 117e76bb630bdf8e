#pragma once

#include "design/DesignRecord.h"

#include <simdjson.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What one read may hold: a line of --jsonl, and a whole document otherwise.
inline constexpr std::size_t kLongestLine = 1u << 20;
inline constexpr std::size_t kLargestDocument = 64u << 20;
// A design as large as a design file may be; batches are arrays of such, or lines.
inline constexpr std::size_t kLargestDesign = 1u << 20;

// The input as a stream: a file, a FIFO, a pipe or a terminal, read as it comes.
class Input {
public:
    explicit Input(const std::string &name);
    ~Input();
    Input(const Input &) = delete;
    Input &operator=(const Input &) = delete;

    // The next line, without its end; false at the end of the input.
    bool line(std::string &text);

    // Everything up to the end of the input.
    std::string all();

    std::size_t lines() const { return lines_; }
    const std::string &name() const { return name_; }

private:
    bool fill();

    std::string name_;
    int fd_ = -1;
    std::vector<char> buffer_ = std::vector<char>(1 << 16);
    std::size_t begin_ = 0, end_ = 0;
    std::size_t lines_ = 0;
};

// Standard output, written in large pieces, every write checked.
class Output {
public:
    std::string text;

    Output() { text.reserve(2 * kPiece); }

    void flushIfFull()
    {
        if (text.size() > kPiece) flush();
    }

    void finish() { flush(); }

private:
    static constexpr std::size_t kPiece = 1u << 20;

    void flush();
};

// Where a problem lies: the line or the design it belongs to, or nowhere in particular.
struct Place {
    const char *kind = nullptr; // "line", "design"
    std::size_t number = 0;

    std::string text() const
    {
        return kind ? std::string(kind) + ' ' + std::to_string(number) + ": " : "";
    }
};

// Each design of --jsonl in turn, as the lines come; blank lines are passed over.
void EachLine(Input &input, const std::function<void(DesignRecord &record)> &take);

// A document read whole: a single design, or a batch, an array of designs.
class Document {
public:
    explicit Document(Input &input);

    bool isBatch() const;

    // The single design.
    DesignRecord single();

    // Each design of the batch in turn, numbered from 1; a fault in the text is told of
    // the whole text. Returns how many there were.
    std::size_t each(const std::function<void(DesignRecord &record, std::size_t number)> &take);

private:
    std::string name_;
    std::string text_;
    simdjson::dom::parser parser_;
};
