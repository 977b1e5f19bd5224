#include "dialogs/macrofrm.h"

#include "dialogs/capture_dialog.h"
#include "dialogs/macrocreat.h"
#include "keys/uiStdCmd.h"
#include "macros/macro_name.h"
#include "toolkit/caption_button.h"
#include "toolkit/images.h"
#include "toolkit/number_box.h"
#include "toolkit/row_height.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/translation.h"
#include "toolkit/widget_makers.h"
#include "ui/macro_list_edits.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTreeWidget>

#include <algorithm>

namespace bv::gui {

namespace {

constexpr QSize kMacroWindowSize(780, 600);
constexpr int kStartTag = 0;
constexpr int kStopTag = 1;
constexpr int kLoopMax = 255;
constexpr int kRowHeight = 24;

// The editor's buttons are never pressed by Enter.
CaptionButton* button(QWidget* parent, const char* name, const QString& caption, const QString& style, QRect place)
{
    CaptionButton* b = MakeButton(parent, name, caption, style, place);
    b->setAutoDefault(false);
    return b;
}

NumberBox* numberBox(QWidget* parent, const char* name, int minimum, int maximum, QRect place)
{
    auto* n = new NumberBox(parent);
    n->setObjectName(name);
    n->SetLimits(minimum, maximum, 1);
    n->setGeometry(place);
    return n;
}

int actionValue(const TMACROKEY& a)
{
    return a.VALUE1 + 256 * a.VALUE2;
}

} // namespace

TFrmMacro::TFrmMacro(Dialogs& dialogs, platform::KeyboardHook* hook, QWidget* parent)
    : FramelessDialog(kMacroWindowSize, parent)
    , FDialogs(dialogs)
    , FKeyHook(hook)
{
    setObjectName("FrmMacro");
    SetSourceText(this, "Macro Manager");
    createControls();

    connect(BtnMin, &QPushButton::clicked, this, [this] {
        QWidget* main = parentWidget() ? parentWidget()->window() : this;
        main->showMinimized();
    });
    connect(BtnClose, &QPushButton::clicked, this, &TFrmMacro::reject);
    connect(ListBoxMacroList, &QListWidget::itemSelectionChanged, this, &TFrmMacro::ListBoxMacroListChange);
    connect(IMGMACROLISTSCROLLUP, &QPushButton::clicked, this,
        [this] { ListBoxMacroList->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); });
    connect(IMGMACROLISTSCROLLDOWN, &QPushButton::clicked, this,
        [this] { ListBoxMacroList->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); });
    connect(BSBTNNEWMACRO, &QPushButton::clicked, this, &TFrmMacro::BSBTNNEWMACROClick);
    connect(BSBTNDELETEMACRO, &QPushButton::clicked, this, &TFrmMacro::BSBTNDELETEMACROClick);
    for (CaptionButton* b : { BtnMacroStart, BtnMacroStop })
        connect(b, &QPushButton::clicked, this, [this, b] { BtnMacroStartStopClick(b); });
    connect(BtnAutoDelay, &QCheckBox::toggled, this, &TFrmMacro::BtnAutoDelayChange);
    connect(BtnCustomDelay, &QCheckBox::toggled, this, &TFrmMacro::BtnCustomDelayChange);
    connect(BtnMacroLoop, &QCheckBox::toggled, this, &TFrmMacro::BtnMacroLoopChange);
    connect(BoxMacroLoop, &QSpinBox::valueChanged, this, [this] {
        if (!FInitlizing)
            StoreLoopValue();
    });
    connect(ListBoxMacroKey, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem* item) { ListBoxMacroKeyDblClick(item); });
    connect(ListBoxMacroKey, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (FInitlizing || !item)
            return;
        if (TuiActionsClass* actions = FMacroClass.CurrentMacroAction())
            actions->SetActionIndex(item->data(0, kActionRowIndexRole).toInt());
    });
    connect(BtnOK, &QPushButton::clicked, this, &TFrmMacro::BtnOKClick);
    connect(BtnCANCEL, &QPushButton::clicked, this, &TFrmMacro::BtnCANCELClick);

    FKeyHook.OnRecordKeyboardMacroKeyEx
        = [this](int, int, int, int, std::uint32_t, std::uint32_t, const std::string&, const std::string&,
              const TMacroKeyHookList& KeyList) { RecordKeyboardMacroKeyEx(KeyList); };
    FKeyHook.OnStopRecordKeyboardMacroKey = [this](const TMacroKeyHookList& list) { StopRecordKeyboardMacroKey(list); };

    ApplyScreenCursors(this);
}

TFrmMacro::~TFrmMacro() = default;

void TFrmMacro::createControls()
{
    MakeDialogBanner(this, 732);

    BtnMin = button(this, "BtnMin", {}, "MyTitleBtn", QRect(708, 12, 28, 28));
    BtnMin->setIcon(ProgramIcon("minimize"));
    BtnClose = button(this, "BtnClose", {}, "MyCloseBtn", QRect(742, 12, 28, 28));
    BtnClose->setIcon(ProgramIcon("close"));
    for (auto* b : { BtnMin, BtnClose }) {
        b->setIconSize(QSize(14, 14));
        b->setFocusPolicy(Qt::NoFocus);
    }

    LabelTitle = MakeLabel(this, "LabelTitle", "Macro Manager", QRect(24, 58, 400, 30), "title");

    // The macros.
    MakeLabel(this, "LabelMacroName", "Macro Name:", QRect(24, 98, 190, 22));
    IMGMACROLISTSCROLLUP = button(this, "IMGMACROLISTSCROLLUP", {}, "MyTitleBtn", QRect(222, 96, 24, 24));
    IMGMACROLISTSCROLLUP->setIcon(ProgramIcon("arrow_up"));
    IMGMACROLISTSCROLLDOWN = button(this, "IMGMACROLISTSCROLLDOWN", {}, "MyTitleBtn", QRect(250, 96, 24, 24));
    IMGMACROLISTSCROLLDOWN->setIcon(ProgramIcon("arrow_down"));
    ListBoxMacroList = new QListWidget(this);
    ListBoxMacroList->setObjectName("ListBoxMacroList");
    ListBoxMacroList->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxMacroList->setGeometry(24, 124, 250, 270);
    ListBoxMacroList->setIconSize(QSize(16, 16));
    ListBoxMacroList->setLayoutDirection(Qt::LeftToRight);
    SetRowHeight(ListBoxMacroList, kRowHeight);

    BSBTNNEWMACRO = button(this, "BSBTNNEWMACRO", "New", "MyBottomBtn", QRect(24, 404, 119, 32));
    BSBTNDELETEMACRO = button(this, "BSBTNDELETEMACRO", "Delete", "MyBottomBtn", QRect(155, 404, 119, 32));
    BSBTNDELETEMACRO->setEnabled(false);

    MakeLabel(this, "LabelSelect", "Select:", QRect(24, 448, 250, 22));
    TextBoxSelectedMacroName = new QLineEdit(this);
    TextBoxSelectedMacroName->setObjectName("TextBoxSelectedMacroName");
    TextBoxSelectedMacroName->setProperty("bvRole", "namebox");
    TextBoxSelectedMacroName->setEnabled(false);
    TextBoxSelectedMacroName->setGeometry(24, 472, 250, 30);

    // The actions of the selected macro.
    MakeLabel(this, "LabelActionEditor", "Macro Action Editor:", QRect(298, 98, 300, 22));
    BtnMacroStart = button(this, "BtnMacroStart", {}, "MyRecordBtn", QRect(672, 94, 40, 26));
    BtnMacroStart->setText(QStringLiteral("\u25CF"));
    BtnMacroStart->setProperty("Tag", kStartTag);
    BtnMacroStop = button(this, "BtnMacroStop", {}, "MyRecordBtn", QRect(716, 94, 40, 26));
    BtnMacroStop->setText(QStringLiteral("\u25A0"));
    BtnMacroStop->setProperty("Tag", kStopTag);
    BtnMacroStop->setEnabled(false);
    for (auto* b : { BtnMacroStart, BtnMacroStop }) {
        b->SetStaysPressed(true);
        b->setFocusPolicy(Qt::NoFocus);
    }

    ListBoxMacroKey = new QTreeWidget(this);
    ListBoxMacroKey->setObjectName("ListBoxMacroKey");
    ListBoxMacroKey->setRootIsDecorated(false);
    ListBoxMacroKey->setUniformRowHeights(true);
    ListBoxMacroKey->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBoxMacroKey->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListBoxMacroKey->setHeaderLabels({ Tr("Status"), Tr("Button"), Tr("Elapsed time (ms)") });
    ListBoxMacroKey->header()->setSectionsMovable(false);
    ListBoxMacroKey->setColumnWidth(0, 80);
    ListBoxMacroKey->setColumnWidth(1, 210);
    ListBoxMacroKey->setGeometry(298, 124, 458, 250);
    SetRowHeight(ListBoxMacroKey, kRowHeight);

    TextEditDelay = new QLineEdit(ListBoxMacroKey->viewport());
    TextEditDelay->setObjectName("TextEditDelay");
    TextEditDelay->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,9}"), TextEditDelay));
    TextEditDelay->hide();
    TextEditDelay->installEventFilter(this);

    LabelAllDelayTime = MakeLabel(this, "LabelAllDelayTime", {}, QRect(298, 380, 230, 22), "muted");
    lableTotalActions = MakeLabel(this, "lableTotalActions", {}, QRect(528, 380, 228, 22), "muted");
    lableTotalActions->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LayoutActionsFull = MakeLabel(this, "LayoutActionsFull", "Reached Max", QRect(528, 402, 228, 20), "alert");
    LayoutActionsFull->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LayoutActionsFull->hide();

    // Recording options.
    BtnAutoDelay = MakeCheck(this, "BtnAutoDelay", "Record delays between action", QRect(298, 428, 300, 24));
    BtnAutoDelay->setChecked(true);
    BtnCustomDelay = MakeCheck(this, "BtnCustomDelay", "Insert default delay", QRect(298, 458, 300, 24));
    NumBoxDelay = numberBox(this, "NumBoxDelay", kMacroDelayMin, 65535, QRect(610, 456, 100, 28));
    NumBoxDelay->SetValue(kMacroDelayMin);
    NumBoxDelay->setEnabled(false);
    MakeLabel(this, "LabelDelayMs", "ms", QRect(716, 456, 40, 28), "muted");
    BtnMacroLoop = MakeCheck(this, "BtnMacroLoop", "Number of loops(1-255)", QRect(298, 490, 300, 24));
    BoxMacroLoop = numberBox(this, "BoxMacroLoop", 0, kLoopMax, QRect(610, 488, 100, 28));
    BoxMacroLoop->SetValue(1);
    BoxMacroLoop->setEnabled(false);

    MakeRule(this, QRect(24, 532, 732, 1));
    const OkCancelButtons okCancel = MakeOkCancel(this, "BtnOK", "BtnCANCEL", QPoint(520, 550), EnterKey::LeftToDialog);
    BtnOK = okCancel.Ok;
    BtnCANCEL = okCancel.Cancel;
}

// ---- opening ---------------------------------------------------------------------

void TFrmMacro::SetMacroKeyInfoList(const TMACROKEYINFOLIST& list)
{
    FGivenList = std::make_unique<TMACROKEYINFOLIST>(list);
    // Counts out of range are clamped by the model; the profile loader has told the user of them.
    FMacroClass.SetMacroKeyInfoList(list);
}

void TFrmMacro::SetMacroListIndex(int index)
{
    FMacroClass.SetMacroListIndex(index);
}

MacroEditorResult TFrmMacro::Result() const
{
    MacroEditorResult result;
    if (FGivenList)
        result.Macros = *FGivenList;
    else
        result.Macros = TMACROKEYINFOLIST {};
    FMacroClass.GetMacroKeyInfoList(result.Macros);
    result.CurrentMacro = FMacroClass.MacroListIndex();
    return result;
}

// ---- the macro list --------------------------------------------------------------

void TFrmMacro::FillMacroList()
{
    FInitlizing = true;
    ListBoxMacroList->clear();
    ListBoxMacroList->setEnabled(false);
    BSBTNDELETEMACRO->setEnabled(false);
    if (FMacroClass.IsEmpty()) {
        ListBoxMacroKey->clear();
        TextBoxSelectedMacroName->clear();
        ShowTotals(0, 0);
        FInitlizing = false;
        return;
    }
    ListBoxMacroList->setEnabled(!FRecording);
    for (const TMACROKEYINFO& macro : FMacroClass.MacroKeyInfos())
        new QListWidgetItem(QString::fromStdString(MacroName(macro)), ListBoxMacroList);
    RefreshErrorIcons();
    const int current = FMacroClass.MacroListIndex();
    if (current >= 0 && current < ListBoxMacroList->count()) {
        ListBoxMacroList->setCurrentRow(current);
        ListBoxMacroList->scrollToItem(ListBoxMacroList->item(current));
        BSBTNDELETEMACRO->setEnabled(!FRecording);
    }
    FInitlizing = false;
    RenderMacroActions();
}

void TFrmMacro::RefreshErrorIcons()
{
    const QIcon warning = ProgramIcon("warning");
    // Rows without the mark keep its room, so the names line up.
    QPixmap blank(ListBoxMacroList->iconSize());
    blank.fill(Qt::transparent);
    const QIcon none(blank);
    const auto& macros = FMacroClass.MacroKeyInfos();
    for (int i = 0; i < ListBoxMacroList->count() && i < static_cast<int>(macros.size()); ++i) {
        const bool errors = macros[static_cast<std::size_t>(i)].HaveErrors >= 1;
        QListWidgetItem* row = ListBoxMacroList->item(i);
        row->setData(kMacroRowErrorRole, errors);
        row->setIcon(errors ? warning : none);
    }
}

void TFrmMacro::ListBoxMacroListChange()
{
    if (FInitlizing)
        return;
    const QList<QListWidgetItem*> selected = ListBoxMacroList->selectedItems();
    if (selected.isEmpty()) {
        BSBTNDELETEMACRO->setEnabled(false);
        TextBoxSelectedMacroName->clear();
        return;
    }
    BSBTNDELETEMACRO->setEnabled(true);
    FMacroClass.SetMacroListIndex(ListBoxMacroList->row(selected.first()));
    RenderMacroActions();
}

void TFrmMacro::BSBTNNEWMACROClick()
{
    if (FMacroClass.IsFull()) {
        FDialogs.ShowMessageDialog(this, Tr("Warning"), Tr(TooManyMacrosInListText()), QString());
        return;
    }
    TFrmCreat creat(FMacroPath, FDialogs, this);
    if (FDialogs.ShowModal(creat) != kMessageOK)
        return;
    const std::string name = creat.MacroName();
    if (name.empty())
        return;
    const QString text = QString::fromStdString(name);
    for (int i = 0; i < ListBoxMacroList->count(); ++i) {
        if (ListBoxMacroList->item(i)->text() == text) {
            ListBoxMacroList->setCurrentRow(i);
            return;
        }
    }
    if (!FMacroClass.CreateNewMacro(name))
        return; // the list is full, which IsFull() above already said
    FillMacroList();
}

void TFrmMacro::BSBTNDELETEMACROClick()
{
    const int row = ListBoxMacroList->currentRow();
    if (FMacroClass.MacroListIndex() < 0 || row < 0 || !ListBoxMacroList->item(row)->isSelected())
        return;
    if (FDialogs.ShowMessageDialog(this, Tr("Delete"), Tr("Are your sure you want to delete this macro?"), QString())
        == kMessageCancel)
        return;
    // By position, not by name: of two macros with one name the selected one goes.
    FMacroClass.DeleteMacro(row);
    FillMacroList();
}

// ---- the actions of the current macro --------------------------------------------

void TFrmMacro::ShowTotals(int totalDelay, int rows)
{
    SetPlainText(LabelAllDelayTime, Tr("Total Elapsed Time") + " " + QString::number(totalDelay) + " " + Tr("ms"));
    SetPlainText(lableTotalActions, Tr("Total Actions") + " " + QString::number(rows) + " " + Tr("Entries"));
}

void TFrmMacro::AddActionRows(const TMACROKEY* actions, int count, bool showDelays)
{
    const QIcon down = ProgramIcon("arrow_down");
    const QIcon up = ProgramIcon("arrow_up");
    for (int i = 0; i < count; ++i) {
        const TMACROKEY& a = actions[i];
        QString kind;
        auto* row = new QTreeWidgetItem;
        switch (a.nKeyType) {
        case kActionDelay:
            if (!showDelays)
                break;
            kind = "Delay";
            row->setText(2, QString::number(actionValue(a)));
            break;
        case kActionKey:
            kind = a.nKeyState == 1 ? "KeyDown" : "KeyUp";
            row->setText(1, " " + QString::fromStdString(GetKeyName(a.VALUE1, a.VALUE2)));
            break;
        case kActionMouseButton:
            kind = "Mouse";
            row->setText(1, " " + Tr(GetKeyName(a.VALUE1, a.VALUE2)));
            break;
        case kActionMediaKey:
            kind = a.nKeyState == 1 ? "KeyDown" : "KeyUp";
            row->setText(1, " " + QString::fromStdString(GetConsumerUsageName(a.VALUE1 | a.VALUE2 << 8)));
            break;
        default:
            break;
        }
        if (kind.isEmpty()) {
            delete row;
            continue;
        }
        if (kind != "Delay")
            row->setIcon(0, a.nKeyState == 1 ? down : up);
        else
            row->setForeground(2, QColor(0xE0, 0x20, 0x2A));
        row->setData(0, kActionRowKindRole, kind);
        // Rows and actions part ways where an action has no row, so each row names its action.
        row->setData(0, kActionRowIndexRole, i);
        ListBoxMacroKey->addTopLevelItem(row);
    }
}

void TFrmMacro::RenderMacroActions()
{
    TextEditDelay->hide();
    const TuiActionsClass* actions = FMacroClass.CurrentMacroAction();
    if (!actions)
        return;
    FInitlizing = true;
    TMACROKEYINFO macro {};
    actions->GetMacroKeyInfo(macro);
    TextBoxSelectedMacroName->setText(QString::fromStdString(MacroName(macro)));

    if (macro.nLoopCount != 0) {
        BoxMacroLoop->SetValue(macro.nLoopCount);
        BtnMacroLoop->setChecked(true);
    } else {
        BoxMacroLoop->SetValue(0);
        BtnMacroLoop->setChecked(false);
    }
    BoxMacroLoop->setEnabled(BtnMacroLoop->isChecked());

    ListBoxMacroKey->clear();
    AddActionRows(actions->Actions().data(), actions->MacroListCount(), macro.nAutoAddDelay == 1);

    BtnAutoDelay->setChecked(macro.nAutoAddDelay == 1);
    if (!BtnAutoDelay->isChecked()) {
        // The delay options stay consistent: no default delay without recorded delays.
        BtnCustomDelay->setChecked(false);
        NumBoxDelay->setEnabled(false);
    }

    for (int r = 0; r < ListBoxMacroKey->topLevelItemCount(); ++r) {
        QTreeWidgetItem* row = ListBoxMacroKey->topLevelItem(r);
        if (row->data(0, kActionRowIndexRole).toInt() == actions->ActionIndex()) {
            ListBoxMacroKey->setCurrentItem(row);
            ListBoxMacroKey->scrollToItem(row);
            break;
        }
    }
    ShowTotals(actions->TotalDelay(), ListBoxMacroKey->topLevelItemCount());
    FInitlizing = false;
}

// ---- recording ---------------------------------------------------------------------

void TFrmMacro::BtnMacroStartStopClick(CaptionButton* sender)
{
    if (sender->property("Tag").toInt() == kStartTag)
        StartRecording();
    else
        StopRecording();
}

void TFrmMacro::SetRecordingControlsEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*> { BtnMacroStart, BSBTNNEWMACRO, BtnAutoDelay, BtnCustomDelay,
             BtnMacroLoop, BtnClose, BtnMin, IMGMACROLISTSCROLLUP, IMGMACROLISTSCROLLDOWN, ListBoxMacroKey })
        w->setEnabled(enabled);
    ListBoxMacroList->setEnabled(enabled && !FMacroClass.IsEmpty());
    BSBTNDELETEMACRO->setEnabled(enabled && !ListBoxMacroList->selectedItems().isEmpty());
}

void TFrmMacro::StartRecording()
{
    if (FRecording)
        return;
    if (ListBoxMacroList->count() == 0 || ListBoxMacroList->selectedItems().isEmpty()
        || !FMacroClass.CurrentMacroAction()) {
        BtnMacroStart->setChecked(false);
        return;
    }
    LayoutActionsFull->hide();
    TextEditDelay->hide();
    ListBoxMacroKey->clear();
    ShowTotals(0, 0);
    if (!FKeyHook.RecordKeyboardMacroKeyEx()) {
        // A recorder that hears nothing would look like a recording; say so instead.
        BtnMacroStart->setChecked(false);
        RenderMacroActions();
        FDialogs.ShowMessageDialog(this, Tr("Warning"), Tr(kKeyboardHookFailed), QString());
        return;
    }
    SetRecordingControlsEnabled(false);
    BtnMacroStart->setChecked(true);
    FRecording = true;
    // Keys the desktop keeps for itself (Alt+Tab, Super, media keys) come here while recording.
    FKeyboardCapture = std::make_unique<KeyboardCapture>(this);
    BtnMacroStop->setEnabled(true);
}

MacroRecordingOptions TFrmMacro::RecordingOptions() const
{
    MacroRecordingOptions options;
    options.RecordDelays = BtnAutoDelay->isChecked();
    if (BtnCustomDelay->isChecked())
        options.DefaultDelay = static_cast<std::uint16_t>(NumBoxDelay->value());
    if (BtnMacroLoop->isChecked() && BoxMacroLoop->value() > 0)
        options.LoopCount = static_cast<std::uint16_t>(BoxMacroLoop->value());
    return options;
}

void TFrmMacro::RecordKeyboardMacroKeyEx(const TMacroKeyHookList& keyList)
{
    // The live rows are the very actions the recording will become, so what the user watches is
    // what is stored.
    const MacroRecordingResult live = MacroFromRecording(TMACROKEYINFO {}, keyList, RecordingOptions());
    ListBoxMacroKey->clear();
    AddActionRows(live.Macro.MacroList, live.Macro.MacroListCount, live.Macro.nAutoAddDelay == 1);
    LayoutActionsFull->setVisible(live.Truncated);
    const int rows = ListBoxMacroKey->topLevelItemCount();
    if (rows > 0)
        ListBoxMacroKey->scrollToItem(ListBoxMacroKey->topLevelItem(rows - 1));
    int totalDelay = 0;
    for (int i = 0; i < live.Macro.MacroListCount; ++i)
        if (live.Macro.MacroList[i].nKeyType == kActionDelay)
            totalDelay += actionValue(live.Macro.MacroList[i]);
    ShowTotals(totalDelay, rows);
}

void TFrmMacro::StopRecording()
{
    if (!FRecording) {
        BtnMacroStop->setChecked(false);
        return;
    }
    BtnMacroStart->setChecked(false);
    BtnMacroStop->setChecked(false);
    FKeyboardCapture.reset();
    // Raises OnStopRecordKeyboardMacroKey, which stores the recording.
    FKeyHook.StopRecordKeyboardMacroKeyEx();
    FRecording = false;
    SetRecordingControlsEnabled(true);
    BtnMacroStop->setEnabled(false);
}

void TFrmMacro::StopRecordKeyboardMacroKey(const TMacroKeyHookList& keyList)
{
    TuiActionsClass* actions = FMacroClass.CurrentMacroAction();
    if (!actions)
        return;
    TMACROKEYINFO current {};
    actions->GetMacroKeyInfo(current);
    const MacroRecordingResult recorded = MacroFromRecording(current, keyList, RecordingOptions());
    LayoutActionsFull->setVisible(recorded.Truncated);
    actions->SetMacroKeyInfo(recorded.Macro);
    actions->CheckErrors();
    RenderMacroActions();
    RefreshErrorIcons();
}

// ---- delay and loop options -------------------------------------------------------

void TFrmMacro::BtnAutoDelayChange(bool on)
{
    if (FInitlizing)
        return;
    if (!on) {
        BtnCustomDelay->setChecked(false);
        NumBoxDelay->setEnabled(false);
    }
}

void TFrmMacro::BtnCustomDelayChange(bool on)
{
    if (FInitlizing)
        return;
    NumBoxDelay->setEnabled(on);
    if (on)
        BtnAutoDelay->setChecked(true);
}

void TFrmMacro::BtnMacroLoopChange(bool on)
{
    if (FInitlizing)
        return;
    BoxMacroLoop->setEnabled(on);
    BoxMacroLoop->SetValue(on ? 1 : 0);
    StoreLoopValue();
}

void TFrmMacro::StoreLoopValue()
{
    const int current = FMacroClass.MacroListIndex();
    if (current < 0)
        return;
    const int loops = BtnMacroLoop->isChecked() ? BoxMacroLoop->value() : 0;
    FMacroClass.SetMacroLoopValue(current, static_cast<std::uint16_t>(loops));
}

// ---- editing a delay ---------------------------------------------------------------

void TFrmMacro::ListBoxMacroKeyDblClick(QTreeWidgetItem* item)
{
    const TuiActionsClass* actions = FMacroClass.CurrentMacroAction();
    if (!item || !item->isSelected() || !actions || item->data(0, kActionRowKindRole).toString() != "Delay")
        return;
    FEditedAction = item->data(0, kActionRowIndexRole).toInt();
    const QRect place = ListBoxMacroKey->visualItemRect(item);
    const int x = ListBoxMacroKey->header()->sectionPosition(2);
    TextEditDelay->setGeometry(x, place.y(), ListBoxMacroKey->header()->sectionSize(2), place.height());
    TextEditDelay->setText(QString::number(actions->GetDelayValue(FEditedAction)));
    TextEditDelay->show();
    TextEditDelay->selectAll();
    TextEditDelay->setFocus();
}

void TFrmMacro::CommitDelayEdit()
{
    TuiActionsClass* actions = FMacroClass.CurrentMacroAction();
    TextEditDelay->hide();
    if (!actions || FEditedAction < 0)
        return;
    const long long typed = TextEditDelay->text().toLongLong();
    const auto delay = static_cast<std::uint16_t>(std::clamp<long long>(typed, kMacroDelayMin, 65535));
    const int edited = FEditedAction;
    FEditedAction = -1;
    actions->SetDelayValue(edited, delay);
    actions->SetActionIndex(edited);
    RenderMacroActions();
}

bool TFrmMacro::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TextEditDelay) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                CommitDelayEdit();
                return true;
            }
            if (key == Qt::Key_Escape) {
                TextEditDelay->hide();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            TextEditDelay->hide();
        }
    }
    return FramelessDialog::eventFilter(watched, event);
}

// ---- closing -----------------------------------------------------------------------

void TFrmMacro::BtnOKClick()
{
    if (FRecording)
        StopRecording();
    const int row = ListBoxMacroList->currentRow();
    if (row >= 0 && ListBoxMacroList->item(row)->isSelected())
        FMacroClass.SetMacroListIndex(row);
    SaveMacroFiles(Result().Macros);
    done(kMessageOK);
}

void TFrmMacro::SaveMacroFiles(const TMACROKEYINFOLIST& list)
{
    if (list.nMacroInfoCount == 0)
        return;
    // The profile keeps the macros whatever happens here: a file that cannot be written is told,
    // and the list still goes back.
    try {
        TuiMacroClass::SaveMacroKeyInfoListToMacroFiles(list, FMacroPath);
    } catch (const std::exception& e) {
        FDialogs.ShowMessageDialog(
            this, Tr("Warning"), Tr("The macro files could not be saved."), QString::fromStdString(e.what()));
    }
}

void TFrmMacro::BtnCANCELClick()
{
    if (FRecording)
        StopRecording();
    if (FDialogs.ShowMessageDialog(
            this, Tr("Warning"), Tr("Do you want to leave macro manager without saving?"), QString())
        == kMessageOK)
        done(kMessageCancel);
}

void TFrmMacro::reject()
{
    if (FRecording)
        StopRecording();
    done(kMessageCancel);
}

void TFrmMacro::closeEvent(QCloseEvent* event)
{
    // The window manager's close (Alt+F4 included) asks as CANCEL does: a session's macros are
    // never thrown away without a word. Only the title bar's own close button leaves at once.
    if (!isVisible()) {
        event->accept(); // nothing on show to ask about
        return;
    }
    event->ignore();
    BtnCANCELClick();
}

void TFrmMacro::showEvent(QShowEvent* event)
{
    CentreOnParent();
    FramelessDialog::showEvent(event);
}

void TFrmMacro::hideEvent(QHideEvent* event)
{
    // The keyboard is never left swallowed behind a window that is gone.
    if (FRecording)
        StopRecording();
    FramelessDialog::hideEvent(event);
}

void TFrmMacro::keyPressEvent(QKeyEvent* event)
{
    // Escape asks, as CANCEL does: recordings are not dropped by a stray key.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        BtnCANCELClick();
        return;
    }
    FramelessDialog::keyPressEvent(event);
}

std::optional<MacroEditorResult> EditMacros(QWidget* parent, const TMACROKEYINFOLIST& macros, int currentMacro,
    const std::string& macroFolder, Dialogs& dialogs, platform::KeyboardHook* hook)
{
    auto dialog = std::make_unique<TFrmMacro>(dialogs, hook, parent);
    dialog->SetMacroKeyInfoList(macros);
    dialog->SetMacroListIndex(currentMacro);
    dialog->SetMacroPath(macroFolder);
    dialog->FillMacroList();
    if (dialog->exec() != kMessageOK)
        return std::nullopt;
    return dialog->Result();
}

std::optional<MacroEditorResult> ModalDialogs::EditMacros(
    QWidget* parent, const TMACROKEYINFOLIST& macros, int currentMacro, const std::string& macroFolder)
{
    return gui::EditMacros(parent, macros, currentMacro, macroFolder, *this, &platform::SystemKeyboardHook());
}

} // namespace bv::gui
