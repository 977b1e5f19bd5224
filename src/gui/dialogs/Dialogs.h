#pragma once
// Every modal interaction of the windows goes through here, so tests can answer in its place.

#include "settings/pubunit_solmarch.h"

#include <QString>

#include <optional>

class QDialog;
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

    // The key capture dialogs: each works on a copy of the record it is given and returns the
    // edited record only when the user ends it with OK.
    virtual std::optional<TSINGLEKEYINFO> EditSingleKey(QWidget* parent, const TSINGLEKEYINFO& key) = 0;
    virtual std::optional<TCOMBOKEYINFO> EditComboKey(QWidget* parent, const TCOMBOKEYINFO& combo) = 0;
    virtual std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire) = 0;

    /// Any other window shown modally (the help window): returns its result.
    virtual int ShowModal(QDialog& dialog) = 0;
};

/// The real dialogs, shown modally.
class ModalDialogs final : public Dialogs {
public:
    int ShowMessageDialog(QWidget* parent, const QString& title, const QString& text,
                          const QString& secondLine) override;
    /// The key dialogs record through the process's keyboard hook.
    std::optional<TSINGLEKEYINFO> EditSingleKey(QWidget* parent, const TSINGLEKEYINFO& key) override;
    std::optional<TCOMBOKEYINFO> EditComboKey(QWidget* parent, const TCOMBOKEYINFO& combo) override;
    std::optional<TFIREKEYINFO> EditFireKey(QWidget* parent, const TFIREKEYINFO& fire) override;
    int ShowModal(QDialog& dialog) override;
};

} // namespace bv::gui
