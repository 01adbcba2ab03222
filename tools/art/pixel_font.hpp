#pragma once

#include <SFML/Graphics/Color.hpp>
#include <SFML/Graphics/Image.hpp>

#include <string>

namespace art {

inline constexpr int kGlyphWidth = 5;   // px, before scaling
inline constexpr int kGlyphHeight = 7;  // px, before scaling
inline constexpr int kGlyphAdvance = 6;

// Writes `text` with a built-in 5 x 7 pixel font (upper case, digits and a little
// punctuation; lower case is shown as upper case, anything else as a blank).
void drawText(sf::Image& image, int x, int y, const std::string& text, sf::Color colour, int scale);
int textWidth(const std::string& text, int scale);

}  // namespace art
