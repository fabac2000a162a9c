#pragma once
#include <functional>
#include <string>

#include "base/TextRules.h"

// A cursor over the command-line text for the option parser.
class OptionScanner {
public:
    explicit OptionScanner(std::string text) : text_(std::move(text)), length_(text_.size()) {}

    bool atEnd() const { return position_ >= length_; }
    // The character at the position, NUL at the end.
    char peek() const { return atEnd() ? '\0' : text_[position_]; }

    void skipBlanks();
    std::string readUntil(const std::function<bool(char)>& stop);
    // Throws std::runtime_error naming the expected and the found character.
    void expect(char expected);
    std::string rest() const;

    static bool isWhiteSpace(char c) { return isAsciiSpace(c); }

private:
    std::string text_;
    size_t position_ = 0;
    size_t length_;
};
