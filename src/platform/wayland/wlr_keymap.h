#pragma once
// The keyboard map of the program's own virtual keyboard on wlroots compositors. Whatever
// layout the user has, every character of Windows-1252 and every named key has a key of
// its own in it: the key's keysym is the character itself, so a client translates it with
// this map (the compositor hands the map to the client before the keys that follow it)
// and the user's layout plays no part. A fixed part holds all of Windows-1252, the named
// keys and Shift, Ctrl, Alt and Caps Lock; the keycodes left up to 255 form an extension
// that a stretch fills with the characters beyond it that it needs. Keycodes stay within
// 8..255 so that X11 clients (XWayland) read the same map. Pure code: no connection.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/keyboard.h"

namespace vexil::wayland {

// The numeric failure codes of the key sender (the same numbers as the X11 sender's).
enum WlrKeyFailure : int {
    WlrKeyFailNoDisplay = 1,  // the connection to the compositor is lost
    WlrKeyFailUntypable = 3,  // a character no key can type (a control character)
};

// Where a key lies: its keycode (xkb's: the protocol's key code plus 8) and whether the
// character sits on the shifted level (the capital of a letter pair).
struct KeyPlace {
    std::uint32_t keycode = 0;
    bool shift = false;

    friend bool operator==(const KeyPlace&, const KeyPlace&) = default;
};

class VirtualKeymap {
public:
    static constexpr std::uint32_t minKeycode = 8;
    static constexpr std::uint32_t maxKeycode = 255;

    VirtualKeymap();

    std::uint32_t shiftKey() const { return shiftKey_; }
    std::uint32_t controlKey() const { return controlKey_; }
    std::uint32_t altKey() const { return altKey_; }

    // The key of a named key; its control character for \r, \n, \t, \b and Escape.
    std::optional<KeyPlace> find(NamedKey key) const;
    // The key of a character in the fixed part or the extension loaded now.
    std::optional<KeyPlace> find(char32_t c) const;
    // The named key a control character stands for (Enter for \r and \n...), or None.
    static NamedKey namedKeyFor(char32_t c);
    // Whether a character can have a key at all (not a control character, a surrogate...).
    static bool typable(char32_t c);
    bool inFixedPart(char32_t c) const;

    // Keys free for the extension; a pair of letters (ā, Ā) takes one.
    std::size_t extensionRoom() const;
    // Keys the characters take as an extension.
    static std::size_t keysFor(const std::vector<char32_t>& characters);
    // Replaces the extension with these characters (beyond the fixed part, typable, at
    // most extensionRoom() keys). Returns false, changing nothing, when they do not fit.
    bool setExtension(const std::vector<char32_t>& characters);
    const std::vector<char32_t>& extension() const { return extension_; }

    // The map in xkb's text format, as the virtual-keyboard protocol takes it.
    QByteArray text() const;

private:
    struct Key {
        std::uint32_t keycode = 0;
        std::uint32_t lower = 0;  // keysyms; upper 0: one level
        std::uint32_t upper = 0;
    };
    std::uint32_t addCharacterKey(char32_t lower, char32_t upper, std::vector<Key>& keys);
    void index(const Key& key, std::vector<std::pair<char32_t, KeyPlace>>& into) const;

    std::vector<Key> fixed_;
    std::vector<Key> extra_;
    std::vector<std::pair<char32_t, KeyPlace>> fixedChars_;  // sorted by character
    std::vector<std::pair<char32_t, KeyPlace>> extraChars_;
    std::vector<std::pair<NamedKey, std::uint32_t>> named_;
    std::vector<char32_t> extension_;
    std::uint32_t shiftKey_ = 0, controlKey_ = 0, altKey_ = 0, capsKey_ = 0;
    std::uint32_t firstExtensionKeycode_ = 0;
};

// A stretch cut where its characters beyond the fixed part would overflow one extension:
// strokes [begin, end) are typed with `extension` loaded (empty: no characters beyond).
struct KeymapPart {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<char32_t> extension;
};
std::vector<KeymapPart> planExtensions(const VirtualKeymap& map,
                                       const std::vector<KeyStroke>& strokes);

}  // namespace vexil::wayland
