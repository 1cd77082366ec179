// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#include "scene_io/scene_values.h"

#include "scene_io/int_syntax.h"
#include "scene_io/scene_errors.h"

#include <clocale>

namespace rs {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerWord[i]) return false;
    }
    return true;
}

// A small cursor over the text, enough for the number grammar below.
struct Cursor {
    std::string_view text;
    std::size_t pos = 0;

    bool atEnd() const { return pos == text.size(); }
    bool take(char c) {
        if (atEnd() || text[pos] != c) return false;
        ++pos;
        return true;
    }
    bool take(std::string_view word) {
        if (word.empty() || text.substr(pos, word.size()) != word) return false;
        pos += word.size();
        return true;
    }
    void skipBlanks() {
        while (take(' ')) {
        }
    }
    // Consumes digits; returns how many, and notes whether any was not '0'.
    std::size_t takeDigits(bool& nonZero) {
        const std::size_t start = pos;
        while (!atEnd() && isDigit(text[pos])) {
            nonZero = nonZero || text[pos] != '0';
            ++pos;
        }
        return pos - start;
    }
};

} // namespace

std::string formatSceneInteger(std::int32_t value) {
    return std::to_string(value);
}

std::string formatSceneBoolean(bool value) {
    return value ? "-1" : "0";
}

std::int32_t parseSceneInteger(const SceneLine& line) {
    if (const auto value = parseInt32(line.shortened())) return *value;
    throw EConvertError(notAnIntegerMessage(line.text()));
}

std::int32_t parseSceneInteger(std::string_view lineText) {
    return parseSceneInteger(SceneLine(lineText));
}

std::optional<bool> parseDecimalTruth(std::string_view text, std::string_view decimalSeparator) {
    // blanks [sign] (digits [sep digits*] | sep digits) [(e|E) [sign] digits] blanks
    // Zero or not is decided by the mantissa digits alone, so no value is ever computed and a huge
    // exponent cannot overflow anything.
    Cursor in{text};
    in.skipBlanks();
    if (!in.take('-')) in.take('+');
    bool nonZero = false;
    std::size_t mantissaDigits = in.takeDigits(nonZero);
    if (in.take(decimalSeparator)) mantissaDigits += in.takeDigits(nonZero);
    if (mantissaDigits == 0) return std::nullopt;
    if (in.take('e') || in.take('E')) {
        if (!in.take('-')) in.take('+');
        bool ignored = false;
        if (in.takeDigits(ignored) == 0) return std::nullopt;
    }
    in.skipBlanks();
    if (!in.atEnd()) return std::nullopt;
    return nonZero;
}

bool parseSceneBoolean(const SceneLine& line) {
    const std::lconv* conventions = std::localeconv();
    const std::string_view separator =
        (conventions && conventions->decimal_point) ? conventions->decimal_point : ".";
    const std::string_view text = line.shortened();
    if (const auto truth = parseDecimalTruth(text, separator)) return *truth;
    if (equalsIgnoringCase(text, "true")) return true;
    if (equalsIgnoringCase(text, "false")) return false;
    throw EConvertError(notABooleanMessage(line.text()));
}

bool parseSceneBoolean(std::string_view lineText) {
    return parseSceneBoolean(SceneLine(lineText));
}

} // namespace rs
