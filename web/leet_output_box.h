// The browser's output box (qt/leet_output_box.h is Linux's): the text in blocks, and while
// editable the box makes every edit itself, from what the browser says it is about to do, so that
// the cuts between blocks stay invisible to the user and undo takes back the user's own edits only.
// It knows the DOM and nothing of the handlers; it does not decide when it is editable, its owner
// does.
#pragma once

#include <emscripten/val.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "web/block_cuts.h"
#include "web/caret_landing.h"
#include "web/edit_history.h"
#include "web/output_selection.h"
#include "web/text_box_ways.h"

namespace zentrovax {

class LeetOutputBox {
  public:
    // `element` is the empty txtLeet element; `ask_for_idle` has OnIdle called once the page is
    // next idle.
    LeetOutputBox(emscripten::val element, std::function<void()> ask_for_idle);

    // Keeps the view where it is.
    void Append(std::string_view text);
    // What a keyboard is composing in the capture box: shown after the text, underlined, by the
    // page's style, from an attribute of the last block; so no part of the text.
    void SetComposingText(std::string_view text);
    [[nodiscard]] const std::string& ComposingText() const { return composing_text_; }
    // Whether the end of the text is in view, as the user sees it now.
    [[nodiscard]] bool ViewIsAtEnd() const;
    void ShowEnd();
    [[nodiscard]] std::string Text() const;
    void SetText(std::string_view text);
    // Editing starts and ends with an empty undo history.
    void SetEditable(bool editable);
    // After the page's zoom changed; the selection stays on the same text.
    void Recut();

    // While editable: each edit the browser is about to make is made here instead.
    void OnBeforeInput(emscripten::val event);
    // While editable: undo and redo, and the keys that move the caret (caret_landing.h).
    void OnKeyDown(const emscripten::val& event);
    // What is copied or cut is the text as typed, with nothing where a block ends.
    void OnCopy(emscripten::val event, bool cut);
    // An input method's composition cannot be stopped: the browser edits the block itself, and
    // the box learns afterwards what changed.
    void OnCompositionStart();
    void OnCompositionEnd();
    // After a key's move the browser made, and a slice of the repair of the cuts an edit left
    // stale.
    void OnIdle();
    // A triple click selects a paragraph, the text between newlines, as in a text box, rather
    // than the block the browser takes for one.
    void OnMouseDown(const emscripten::val& event);

  private:
    using History = EditHistory<emscripten::val>;

    // Replaces the text between two offsets by `text` and records it; the caret goes after it.
    void Edit(History::Kind kind, int from, int to, const emscripten::val& text);
    void Undo();
    void Redo();
    // What the history replays its steps through.
    [[nodiscard]] auto Replacer() {
        return [this](int from, int to, const emscripten::val& text) {
            blocks_.Replace(from, to, text);
        };
    }
    // Asks for OnIdle, once, while stale cuts are left to repair.
    void ScheduleRepair();
    // Asks for OnIdle unless asked already.
    void AskForIdle();
    // Puts composing_text_ after the last block, which a change of the blocks may have replaced.
    void ShowComposingText();
    // Makes a change that rebuilds blocks, with the selection on the same text after it.
    template <typename Change>
    void KeepingSelection(Change change);

    // First: what follows is made to this engine's ways.
    const TextBoxWays ways_;
    emscripten::val element_;
    BlockCuts blocks_;
    OutputSelection selection_;
    History history_;
    bool editable_ = false;
    // While an input method composes: the block it composes in and the block's text before.
    struct Composition {
        int block = 0;
        emscripten::val text;
    };
    std::optional<Composition> composition_;
    std::string composing_text_;
    // The block that shows composing_text_.
    emscripten::val composing_block_ = emscripten::val::null();
    std::function<void()> ask_for_idle_;
    bool idle_asked_ = false;
    LineEndMove line_end_move_;
};

}  // namespace zentrovax
