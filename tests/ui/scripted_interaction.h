// SPDX-FileCopyrightText: 2026 Ripplescope developers
// SPDX-License-Identifier: MIT
#pragma once
// Answers the window's modal conversations from a script and records what was asked and shown.

#include "ui/interaction.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

namespace rs::testing {

class ScriptedInteraction final : public Interaction {
  public:
    struct Shown {
        QString caption;
        QString text;
    };

    struct Reply {
        bool ok = false; // false: the user cancelled
        QString text;
    };
    static Reply ok(const QString& text) { return {true, text}; }
    static Reply cancel() { return {}; }

    // Replies used in order; once they run out every prompt and dialog is cancelled.
    std::deque<Reply> promptReplies;
    std::deque<Reply> fileReplies;

    QStringList prompts;         // prompt texts asked
    QStringList rememberedNames; // the name each file dialog started at
    std::vector<Shown> errors;   // error boxes shown

    bool queryText(const QString&, const QString& prompt, QString& text) override {
        prompts.append(prompt);
        const Reply reply = next(promptReplies);
        if (reply.ok) {
            text = reply.text;
        }
        return reply.ok;
    }
    std::optional<QString> openName(const QString&, const QString& remembered) override {
        rememberedNames.append(remembered);
        return chosenName(next(fileReplies));
    }
    std::optional<QString> saveName(const QString&, const QString& remembered) override {
        rememberedNames.append(remembered);
        return chosenName(next(fileReplies));
    }
    void showError(const QString& caption, const QString& text) override {
        errors.push_back({caption, text});
    }

  private:
    static Reply next(std::deque<Reply>& replies) {
        if (replies.empty()) {
            return {};
        }
        Reply reply = replies.front();
        replies.pop_front();
        return reply;
    }
    static std::optional<QString> chosenName(const Reply& reply) {
        if (!reply.ok) {
            return std::nullopt;
        }
        return reply.text;
    }
};

} // namespace rs::testing
