// The Toolkit contract on real Qt widgets: builds frmZentrovax from its description and turns
// each widget event into one handler call. No behaviour of the program lives here.
#pragma once

#include <QObject>
#include <QWidget>
#include <memory>

#include "window/toolkit.h"

class QLineEdit;
class QPushButton;

namespace zentrovax {

class LeetOutputBox;

class QtToolkit final : public QObject, public Toolkit {
    Q_OBJECT

  public:
    QtToolkit();
    ~QtToolkit() override;

    // Shows the window and asks for activation, which a bare X server without a window
    // manager never grants on its own: without it no key would arrive.
    void Show();
    [[nodiscard]] QWidget& Window() const { return *window_; }

    [[nodiscard]] std::string GetText(Box box) const override;
    void SetText(Box box, std::string_view text) override;
    void AppendText(Box box, std::string_view text) override;
    [[nodiscard]] bool IsEnabled(Box box) const override;
    void SetEnabled(Box box, bool enabled) override;
    void GiveFocus(Box box) override;
    [[nodiscard]] bool HasFocus(Box box) const override;
    void SetEditable(Box box, bool editable) override;
    [[nodiscard]] bool ViewIsAtEnd(Box box) const override;
    void ShowEnd(Box box) override;
    void SetComposingText(Box box, std::string_view text) override;
    [[nodiscard]] std::string GetComposingText(Box box) const override;
    void Announce(std::string_view text) override;
    void ShowMessage(std::string_view prompt, std::string_view title) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    [[nodiscard]] QWidget* Widget(Box box) const;

    std::unique_ptr<QWidget> window_;
    // Owned by window_ through Qt's parent ownership.
    LeetOutputBox* txtLeet_ = nullptr;
    QLineEdit* txtCapture_ = nullptr;
    QPushButton* cmdPause_ = nullptr;
    QPushButton* cmdResume_ = nullptr;
    QPushButton* cmdHelp_ = nullptr;
};

}  // namespace zentrovax
