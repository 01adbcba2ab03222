#pragma once

#include <string>

// The game's texts and paths are UTF-8; Windows' own calls take UTF-16.
std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);
