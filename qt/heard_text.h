// The output's text as a screen reader was last told it, kept while it listens: what a change
// took away is gone from the document by the time the box hears of the change, so the text it
// took is read here. Each change is told as narrowly as the user saw it.
#pragma once

#include <QString>
#include <optional>

namespace zentrovax {

class HeardText {
  public:
    struct Change {
        int at = 0;
        QString removed;
        QString inserted;
    };

    void Start(const QString& text) { text_ = text; }
    void Stop() { text_.reset(); }
    [[nodiscard]] bool Active() const { return text_.has_value(); }
    // The user's text now holds `inserted` at `offset` and is `length` long: what changed,
    // without what stayed the same at either end (a break that stayed what it was, a change of
    // format) and never half a character; nothing where nothing did.
    [[nodiscard]] std::optional<Change> Replace(int offset, QString inserted, int length);

  private:
    std::optional<QString> text_;
};

}  // namespace zentrovax
