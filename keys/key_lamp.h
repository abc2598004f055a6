// The lamp of one on-screen key: a colour and whether it is lit.
#pragma once

#include <cstdint>

class KeyLamp {
public:
    std::uint8_t Red() const { return m_red; }
    std::uint8_t Green() const { return m_green; }
    std::uint8_t Blue() const { return m_blue; }
    std::uint8_t Lit() const { return m_lit; }

    // The colour as a COLORREF value: red + green * 256 + blue * 65536.
    std::uint32_t Colour() const {
        return static_cast<std::uint32_t>(m_red) | static_cast<std::uint32_t>(m_green) << 8 |
               static_cast<std::uint32_t>(m_blue) << 16;
    }

protected:
    // Stores the four values; true when any of them changed, so the key must be repainted. Only
    // the key's own SetLamp calls it, so every change of the lamp goes through there.
    bool Store(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t lit) {
        if (red == m_red && green == m_green && blue == m_blue && lit == m_lit) return false;
        m_red = red;
        m_green = green;
        m_blue = blue;
        m_lit = lit;
        return true;
    }

private:
    std::uint8_t m_red = 0;
    std::uint8_t m_green = 0;
    std::uint8_t m_blue = 0;
    std::uint8_t m_lit = 0;  // 1 while the key is held
};
