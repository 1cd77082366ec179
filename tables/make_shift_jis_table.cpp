// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
// make_shift_jis_table OUT: writes the table by which scene_io decodes a scene line's Shift_JIS bytes
// without Qt, asked of Qt's own decoder byte by byte and pair by pair, so the two agree exactly.
//
// Every step of that decoder turns one byte, or a lead byte and the byte after it, into one UTF-16
// unit. So the text of one byte, and of each lead byte with each byte after it, is all there is to
// know; a pair that comes out as the lead's own text followed by the second byte's means the lead
// stood alone and the second byte starts afresh. The program fails when a line of one or two bytes
// does not fit that model, or a three-byte line after a lead byte comes out otherwise than the model
// says.

#include "tables/qt_shift_jis.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

QString decoded(std::initializer_list<int> bytes) {
    std::string line;
    for (int b : bytes)
        line += static_cast<char>(b);
    return rs::qt_reference::shiftJisText(line);
}

struct Table {
    std::array<char16_t, 256> single{};
    std::array<int, 256> row{}; // 0: not a lead byte; otherwise its row in pair, plus one
    std::vector<std::array<char16_t, 256>> pair;
};

// The text the table gives for a line, as scene_io's decoder walks it.
QString walk(const Table& table, std::initializer_list<int> bytes) {
    const std::vector<int> b(bytes);
    QString text;
    for (std::size_t i = 0; i < b.size(); ++i) {
        char16_t unit = table.single[b[i]];
        if (table.row[b[i]] != 0 && i + 1 < b.size()) {
            const char16_t both = table.pair[table.row[b[i]] - 1][b[i + 1]];
            if (both != 0) {
                unit = both;
                ++i;
            }
        }
        text += QChar(unit);
    }
    return text;
}

bool oneUnit(const QString& text) {
    return text.size() == 1 && text[0].unicode() != 0 && !text[0].isSurrogate();
}

bool fail(const char* what, int lead, int next) {
    std::fprintf(stderr, "make_shift_jis_table: %s at bytes 0x%02X 0x%02X\n", what, lead, next);
    return false;
}

bool build(Table& table) {
    for (int b = 0; b < 256; ++b) {
        const QString text = decoded({b});
        if (text.size() != 1 || text[0].isSurrogate()) return fail("not one character", b, -1);
        table.single[b] = text[0].unicode();
    }
    for (int b = 0; b < 256; ++b) {
        std::array<char16_t, 256> row{};
        bool lead = false;
        for (int t = 0; t < 256; ++t) {
            const QString text = decoded({b, t});
            if (text == QString(QChar(table.single[b])) + QChar(table.single[t])) continue;
            if (!oneUnit(text)) return fail("neither one character nor two apart", b, t);
            row[t] = text[0].unicode();
            lead = true;
        }
        if (lead) {
            table.pair.push_back(row);
            table.row[b] = static_cast<int>(table.pair.size());
        }
    }
    // A lead byte standing alone before another lead byte must leave that one free to pair.
    for (int b = 0; b < 256; ++b) {
        if (table.row[b] == 0) continue;
        for (int t = 0; t < 256; ++t) {
            for (int c : {0x0A, 0x1A, 0x40, 0x7F, 0x80, 0x9F, 0xA0, 0xFC}) {
                if (walk(table, {b, t, c}) != decoded({b, t, c})) return fail("three bytes differ", b, t);
            }
        }
    }
    return true;
}

void put(std::string& out, char16_t value, int index) {
    char number[16];
    std::snprintf(number, sizeof number, "0x%04X,", static_cast<unsigned>(value));
    out += index % 12 == 0 ? "\n    " : " ";
    out += number;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_shift_jis_table OUT\n");
        return 2;
    }
    Table table;
    if (!build(table)) return 1;

    std::string out = "// Made by make_shift_jis_table from Qt's Shift_JIS decoder; do not edit.\n"
                      "// The UTF-16 unit of each byte on its own (a lead byte at the end of the line).\n"
                      "constexpr char16_t kShiftJisSingle[256] = {";
    for (int b = 0; b < 256; ++b)
        put(out, table.single[b], b);
    out += "\n};\n// 0: not a lead byte; otherwise the lead byte's row in kShiftJisPair, plus one.\n"
           "constexpr unsigned char kShiftJisRow[256] = {";
    for (int b = 0; b < 256; ++b) {
        out += b % 16 == 0 ? "\n    " : " ";
        out += std::to_string(table.row[b]) + ",";
    }
    out += "\n};\n// The unit of a lead byte with the byte after it; 0: the lead byte stands alone.\n"
           "constexpr char16_t kShiftJisPair[" +
           std::to_string(table.pair.size()) + "][256] = {";
    for (const auto& row : table.pair) {
        out += "\n  {";
        for (int t = 0; t < 256; ++t)
            put(out, row[t], t);
        out += "\n  },";
    }
    out += "\n};\n";

    std::FILE* file = std::fopen(argv[1], "wb");
    bool written = file != nullptr;
    if (written) {
        written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
        written = std::fclose(file) == 0 && written;
    }
    if (!written) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
