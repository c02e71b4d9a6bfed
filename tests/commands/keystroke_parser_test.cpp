#include <gtest/gtest.h>

#include "commands/keystroke_parser.h"

using namespace vexil;

namespace {

KeyStroke ch(char32_t c, std::uint8_t mods = 0) { return KeyStroke{mods, NamedKey::None, c}; }
KeyStroke key(NamedKey k, std::uint8_t mods = 0) { return KeyStroke{mods, k, 0}; }

struct Good {
    const char* notation;
    std::vector<KeyStroke> strokes;
};

class ParsesTo : public ::testing::TestWithParam<Good> {};

TEST_P(ParsesTo, Strokes) {
    const Good& g = GetParam();
    const KeyParseResult r = parseKeystrokes(QString::fromUtf8(g.notation));
    ASSERT_EQ(r.error, KeyParseError::None) << g.notation << " at " << r.errorPosition;
    EXPECT_EQ(r.sequence.strokes, g.strokes) << g.notation;
    EXPECT_EQ(r.sequence.notation, QString::fromUtf8(g.notation));
}

const std::uint8_t S = ModShift, C = ModControl, A = ModAlt;

INSTANTIATE_TEST_SUITE_P(
    Notation, ParsesTo,
    ::testing::Values(
        Good{"", {}},
        Good{"ab", {ch('a'), ch('b')}},
        Good{"+a", {ch('a', S)}},
        Good{"^a", {ch('a', C)}},
        Good{"%f", {ch('f', A)}},
        Good{"+^a", {ch('a', S | C)}},
        Good{"+ab", {ch('a', S), ch('b')}},  // the modifier holds for one key only
        Good{"+(ab)c", {ch('a', S), ch('b', S), ch('c')}},
        Good{"^(a+(b)c)", {ch('a', C), ch('b', C | S), ch('c', C)}},
        Good{"(ab)", {ch('a'), ch('b')}},
        Good{"~", {key(NamedKey::Enter)}},
        Good{"+~", {key(NamedKey::Enter, S)}},
        Good{"{ENTER}", {key(NamedKey::Enter)}},
        Good{"{enter}", {key(NamedKey::Enter)}},
        Good{"{Tab}", {key(NamedKey::Tab)}},
        Good{"{LEFT 3}", {key(NamedKey::Left), key(NamedKey::Left), key(NamedKey::Left)}},
        Good{"+{HOME}", {key(NamedKey::Home, S)}},
        Good{"+{RIGHT 2}", {key(NamedKey::Right, S), key(NamedKey::Right, S)}},
        Good{"{LEFT 0}x", {ch('x')}},
        Good{"{F1}{F12}{f16}", {key(NamedKey::F1), key(NamedKey::F12), key(NamedKey::F16)}},
        Good{"{BS}{BKSP}{BACKSPACE}{BK}",
             {key(NamedKey::Backspace), key(NamedKey::Backspace), key(NamedKey::Backspace),
              key(NamedKey::Backspace)}},
        Good{"{DEL}{INS}{PGUP}{PGDN}{PRTSC}{ESC}",
             {key(NamedKey::Delete), key(NamedKey::Insert), key(NamedKey::PageUp),
              key(NamedKey::PageDown), key(NamedKey::PrintScreen), key(NamedKey::Escape)}},
        Good{"{SCROLLOCK}{SCROLLLOCK}{NUMLOCK}{CAPSLOCK}{BREAK}",
             {key(NamedKey::ScrollLock), key(NamedKey::ScrollLock), key(NamedKey::NumLock),
              key(NamedKey::CapsLock), key(NamedKey::Break)}},
        Good{"{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}",
             {key(NamedKey::Add), key(NamedKey::Subtract), key(NamedKey::Multiply),
              key(NamedKey::Divide)}},
        Good{"{+}{^}{%}{~}{(}{)}", {ch('+'), ch('^'), ch('%'), ch('~'), ch('('), ch(')')}},
        Good{"{{}{}}", {ch('{'), ch('}')}},
        Good{"{}}x", {ch('}'), ch('x')}},
        Good{"{a 3}", {ch('a'), ch('a'), ch('a')}},
        Good{"{  2}", {ch(' '), ch(' ')}},
        Good{"{ }", {ch(' ')}},
        Good{"àéíïòóúüçñ·¿¡€", {ch(U'à'), ch(U'é'), ch(U'í'), ch(U'ï'), ch(U'ò'), ch(U'ó'),
                                ch(U'ú'), ch(U'ü'), ch(U'ç'), ch(U'ñ'), ch(U'·'), ch(U'¿'),
                                ch(U'¡'), ch(U'€')}},
        Good{"ÀÇÑ", {ch(U'À'), ch(U'Ç'), ch(U'Ñ')}},
        Good{"a b", {ch('a'), ch(' '), ch('b')}},
        Good{"[x]", {ch('['), ch('x'), ch(']')}},
        Good{"a\r\nb\nc\td", {ch('a'), key(NamedKey::Enter), ch('b'), key(NamedKey::Enter), ch('c'),
                             key(NamedKey::Tab), ch('d')}},
        Good{"\xF0\x9F\x98\x80", {ch(0x1F600)}}));

struct Bad {
    const char* notation;
    KeyParseError error;
    int position;
};

class FailsWith : public ::testing::TestWithParam<Bad> {};

TEST_P(FailsWith, CodeAndPosition) {
    const Bad& b = GetParam();
    const KeyParseResult r = parseKeystrokes(QString::fromUtf8(b.notation));
    EXPECT_EQ(r.error, b.error) << b.notation;
    EXPECT_EQ(r.errorPosition, b.position) << b.notation;
    EXPECT_TRUE(r.sequence.strokes.empty()) << "a failed sequence types nothing: " << b.notation;
}

INSTANTIATE_TEST_SUITE_P(
    Notation, FailsWith,
    ::testing::Values(Bad{"ab{FOO}", KeyParseError::UnknownKeyName, 2},
                      Bad{"{ 3}", KeyParseError::UnknownKeyName, 0},
                      Bad{"{F0}", KeyParseError::UnknownKeyName, 0},
                      Bad{"{F17}", KeyParseError::UnknownKeyName, 0},
                      Bad{"{F01}", KeyParseError::UnknownKeyName, 0},
                      Bad{"x{ENTER", KeyParseError::UnclosedBrace, 1},
                      Bad{"{", KeyParseError::UnclosedBrace, 0},
                      Bad{"{}", KeyParseError::EmptyBraces, 0},
                      Bad{"a}", KeyParseError::StrayClosingBrace, 1},
                      Bad{"+(ab", KeyParseError::UnbalancedParenthesis, 1},
                      Bad{"ab)", KeyParseError::UnbalancedParenthesis, 2},
                      Bad{"abc+", KeyParseError::ModifierWithoutKey, 3},
                      Bad{"(a^)", KeyParseError::ModifierWithoutKey, 2},
                      Bad{"{LEFT x}", KeyParseError::BadRepeatCount, 0},
                      Bad{"{LEFT -1}", KeyParseError::BadRepeatCount, 0},
                      Bad{"{LEFT }", KeyParseError::BadRepeatCount, 0},
                      Bad{"{LEFT 1001}", KeyParseError::BadRepeatCount, 0},
                      Bad{"{a 99999999999}", KeyParseError::BadRepeatCount, 0}));

TEST(KeystrokeParser, RepeatCountsAtTheLimitAreAccepted) {
    const KeyParseResult r = parseKeystrokes(QStringLiteral("{LEFT 1000}"));
    ASSERT_EQ(r.error, KeyParseError::None);
    EXPECT_EQ(r.sequence.strokes.size(), 1000u);
}

TEST(KeystrokeParser, TotalStrokesAreCapped) {
    // Each count is allowed, but together they would make a sequence too long to be sane.
    const KeyParseResult r = parseKeystrokes(QStringLiteral("{a 1000}").repeated(101));
    EXPECT_EQ(r.error, KeyParseError::TooManyStrokes);
    EXPECT_TRUE(r.sequence.strokes.empty());
}

TEST(KeystrokeParser, GroupNestingIsCapped) {
    const QString deep = QString(u'(').repeated(kMaxGroupDepth + 1) + u'a' +
                         QString(u')').repeated(kMaxGroupDepth + 1);
    EXPECT_EQ(parseKeystrokes(deep).error, KeyParseError::TooDeep);
    const QString ok = QString(u'(').repeated(kMaxGroupDepth) + u'a' +
                       QString(u')').repeated(kMaxGroupDepth);
    EXPECT_EQ(parseKeystrokes(ok).error, KeyParseError::None);
}

TEST(KeystrokeParser, EveryFailureHasACodeAndAText) {
    for (KeyParseError e :
         {KeyParseError::UnknownKeyName, KeyParseError::UnclosedBrace,
          KeyParseError::UnbalancedParenthesis, KeyParseError::BadRepeatCount,
          KeyParseError::ModifierWithoutKey, KeyParseError::EmptyBraces,
          KeyParseError::TooManyStrokes, KeyParseError::TooDeep,
          KeyParseError::StrayClosingBrace}) {
        EXPECT_GT(int(e), 1000);
        EXPECT_FALSE(keyParseErrorText(e).isEmpty()) << int(e);
    }
}

TEST(KeystrokeParser, EscapedTextTypesItselfLiterally) {
    const QString text = QStringLiteral("50% {|RM} +(a)~ [x] ^c");
    const KeyParseResult r = parseKeystrokes(escapeKeystrokes(text));
    ASSERT_EQ(r.error, KeyParseError::None);
    QString typed;
    for (const KeyStroke& k : r.sequence.strokes) {
        EXPECT_EQ(k.modifiers, 0);
        EXPECT_EQ(k.key, NamedKey::None);
        typed += QString::fromUcs4(&k.character, 1);
    }
    EXPECT_EQ(typed, text);
}

}  // namespace
