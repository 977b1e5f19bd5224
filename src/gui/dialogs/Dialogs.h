#pragma once
// Every modal interaction of the windows goes through here, so tests can answer in its place.

#include <QString>

class QWidget;

namespace bv::gui {

/// Results of the message dialog.
inline constexpr int kMessageOK = 1;
inline constexpr int kMessageCancel = 2;

class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// The message dialog: a title, a text and a second line (each shown as given, empty ones
    /// stay empty). Returns kMessageOK or kMessageCancel.
    virtual int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text,
                                  const QString& secondLine) = 0;
};

/// The real dialogs, shown modally.
class ModalDialogs final : public Dialogs {
public:
    int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text,
                          const QString& secondLine) override;
};

} // namespace bv::gui
