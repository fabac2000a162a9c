#include "launch/EnvironmentPlaceholders.h"

namespace {

// The text split into pieces from the original command line, which later placeholders may
// still match, and pieces a replacement inserted, which nothing searches again.
struct Piece {
    std::string text;
    bool inserted;
};

void replaceIn(std::vector<Piece>& pieces, const Placeholder& placeholder) {
    std::vector<Piece> result;
    for (Piece& piece : pieces) {
        if (piece.inserted) {
            result.push_back(std::move(piece));
            continue;
        }
        size_t from = 0;
        for (size_t at = piece.text.find(placeholder.name); at != std::string::npos;
             at = piece.text.find(placeholder.name, from)) {
            if (at > from)
                result.push_back({piece.text.substr(from, at - from), false});
            result.push_back({placeholder.value, true});
            from = at + placeholder.name.size();
        }
        if (from < piece.text.size())
            result.push_back({piece.text.substr(from), false});
    }
    pieces = std::move(result);
}

}  // namespace

std::string replacePlaceholders(std::string text, const std::vector<Placeholder>& placeholders) {
    std::vector<Piece> pieces{{std::move(text), false}};
    for (const Placeholder& placeholder : placeholders)
        if (!placeholder.name.empty())
            replaceIn(pieces, placeholder);
    std::string result;
    for (const Piece& piece : pieces)
        result += piece.text;
    return result;
}
