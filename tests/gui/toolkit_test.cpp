// The window toolkit: change-event rules, limits, cursor files and re-translation.

#include "gui_fixture.h"

#include "toolkit/caption_button.h"
#include "toolkit/cursor_file.h"
#include "toolkit/frameless_window.h"
#include "toolkit/glow.h"
#include "toolkit/images.h"
#include "toolkit/language_box.h"
#include "toolkit/number_box.h"
#include "toolkit/screen_cursors.h"
#include "toolkit/track_bar.h"
#include "toolkit/translation.h"
#include "ui/uiLanguage.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

using namespace bv;
using namespace bv::gui;

class ToolkitTest : public QObject {
    Q_OBJECT

private slots:
    void controlsSetFromCodeFireExceptNumberBoxes();
    void numberBoxClampsAndReportsOnlyTheUsersEdits();
    void trackBarKeepsItsStepsAndLimits();
    void captionButtonStyleAndGlow();
    void cursorFilesAreReadWithTheirHotSpots();
    void damagedCursorFilesAreRefused();
    void everyOpenWindowIsRetranslated();
    void everyPictureIsThereAtOnceAndTwiceItsSize();
    void rawPicturesAreReadExactlyAndDamagedOnesRefused();
    void windowBackgroundIsTheSameWhenRepaintedInPart();
};

void ToolkitTest::controlsSetFromCodeFireExceptNumberBoxes()
{
    QWidget parent;
    QCheckBox check(&parent);
    QRadioButton a(&parent), b(&parent);
    a.setAutoExclusive(true);
    b.setAutoExclusive(true);
    TrackBar bar(&parent);
    bar.SetLimits(1, 10, 1);
    NumberBox box(&parent);
    box.SetLimits(100, 3500, 100);

    QSignalSpy checkSpy(&check, &QCheckBox::toggled);
    QSignalSpy aSpy(&a, &QRadioButton::toggled), bSpy(&b, &QRadioButton::toggled);
    QSignalSpy barSpy(&bar, &TrackBar::ValueChanged);
    QSignalSpy boxSpy(&box, &QSpinBox::valueChanged);

    check.setChecked(true);
    a.setChecked(true);
    b.setChecked(true); // unchecks a
    bar.SetValue(7);
    box.SetValue(1200);

    QCOMPARE(checkSpy.count(), 1);
    QCOMPARE(aSpy.count(), 2);
    QCOMPARE(bSpy.count(), 1);
    QCOMPARE(barSpy.count(), 1);
    QCOMPARE(barSpy.at(0).at(0).toInt(), 7);
    QCOMPARE(boxSpy.count(), 0);
    QCOMPARE(box.value(), 1200);

    // Setting what is already there is no change.
    check.setChecked(true);
    bar.SetValue(7);
    QCOMPARE(checkSpy.count(), 1);
    QCOMPARE(barSpy.count(), 1);
}

void ToolkitTest::numberBoxClampsAndReportsOnlyTheUsersEdits()
{
    NumberBox box;
    box.SetLimits(100, 3500, 100);
    QSignalSpy changed(&box, &QSpinBox::valueChanged);
    QSignalSpy clicked(&box, &NumberBox::clicked);

    box.SetValue(9000);
    QCOMPARE(box.value(), 3500);
    box.SetValue(-5);
    QCOMPARE(box.value(), 100);
    QCOMPARE(changed.count(), 0);

    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* edit = box.findChild<QLineEdit*>();
    QVERIFY(edit);
    box.stepBy(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(box.value(), 200);

    // Typing reports once, when the entry is finished, and clamps.
    edit->selectAll();
    QTest::keyClicks(edit, "9999");
    QCOMPARE(changed.count(), 1);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(changed.count(), 2);
    QVERIFY(box.value() <= 3500);

    QTest::mouseClick(edit, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

void ToolkitTest::trackBarKeepsItsStepsAndLimits()
{
    TrackBar bar;
    bar.SetLimits(200, 900, 10);
    struct Case {
        int In, Out;
    } cases[] = { { 550, 550 }, { 555, 560 }, { 554, 550 }, { 100, 200 }, { 1000, 900 }, { 900, 900 }, { 200, 200 } };
    for (const Case& c : cases) {
        bar.SetValue(c.In);
        QCOMPARE(bar.Value(), c.Out);
    }
    QCOMPARE(bar.Minimum() + bar.Maximum(), 1100);
}

void ToolkitTest::captionButtonStyleAndGlow()
{
    CaptionButton b(nullptr, "MyMODEBtn");
    b.SetStyleName("MyMODEBtnA");
    QCOMPARE(b.StyleName(), QString("MyMODEBtnA"));
    QCOMPARE(b.property("styleName").toString(), QString("MyMODEBtnA"));
    b.SetStaysPressed(true);
    b.click();
    QVERIFY(b.isChecked());
    b.click();
    QVERIFY(!b.isChecked());

    QVERIFY(!IsGlowing(&b));
    SetGlow(&b, true);
    QVERIFY(IsGlowing(&b));
    SetGlow(&b, false);
    QVERIFY(!IsGlowing(&b));
}

void ToolkitTest::cursorFilesAreReadWithTheirHotSpots()
{
    const QString images = QString::fromStdString((gui::test::BuildFolder() / "images").string());
    for (const char* name : { "hand.cur", "attack.cur" }) {
        QFile f(images + "/" + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), name);
        const auto entries = ReadCursorDirectory(f.readAll());
        QVERIFY(entries && entries->size() == 2);
        QCOMPARE((*entries)[0].Size, QSize(32, 32));
        QCOMPARE((*entries)[1].Size, QSize(64, 64));
        QCOMPARE((*entries)[1].HotSpot, (*entries)[0].HotSpot * 2);

        for (qreal ratio : { 1.0, 2.0 }) {
            const auto cursor = LoadCursorFile(f.fileName(), ratio);
            QVERIFY(cursor);
            QCOMPARE(cursor->pixmap().devicePixelRatio(), ratio);
            QCOMPARE(cursor->hotSpot(), (*entries)[0].HotSpot);
        }
    }
    QCOMPARE(ReplaceScreenCursors(images), 2);
    QVERIFY(IsHandReplaced() && IsArrowReplaced());
    QCOMPARE(HandCursor().shape(), Qt::BitmapCursor);

    // Controls that ask for the hand get it; the window gets the arrow.
    QWidget window;
    QCheckBox clickable(&window);
    clickable.setCursor(Qt::PointingHandCursor);
    QLabel plain(&window);
    ApplyScreenCursors(&window);
    QCOMPARE(clickable.cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(clickable.cursor().hotSpot(), HandCursor().hotSpot());
    QCOMPARE(window.cursor().hotSpot(), ArrowCursor().hotSpot());
    QVERIFY(!plain.testAttribute(Qt::WA_SetCursor));
}

void ToolkitTest::damagedCursorFilesAreRefused()
{
    QFile f(QString::fromStdString((gui::test::BuildFolder() / "images" / "hand.cur").string()));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();

    QByteArray icon = good;
    icon[2] = 1; // an icon, not a cursor
    QByteArray outside = good;
    outside[6 + 12] = char(0xFF); // picture offset beyond the file
    outside[6 + 13] = char(0xFF);
    QByteArray hotSpot = good;
    hotSpot[6 + 4] = 40; // hot spot outside the 32 x 32 picture
    QByteArray noEntries = good.left(6);
    noEntries[4] = 0;
    const QByteArray cases[] = { QByteArray(), good.left(5), good.left(20), icon, outside, hotSpot, noEntries };
    for (const QByteArray& bytes : cases)
        QVERIFY(!ReadCursorDirectory(bytes));

    gui::test::WindowRig rig; // a folder to write into
    const QString broken = QString::fromStdString((rig.home / "broken.cur").string());
    QFile out(broken);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(good.left(good.size() / 2)); // directory intact, pictures cut off
    out.close();
    QVERIFY(!LoadCursorFile(broken, 1.0));
    QVERIFY(!LoadCursorFile(broken + ".missing", 1.0));
}

void ToolkitTest::everyOpenWindowIsRetranslated()
{
    TuiLanguage language;
    QVERIFY(language.LoadFromFolder(gui::test::BuildFolder()));
    language.OnTranslateWindows = [] { RetranslateWindows(); };

    QWidget first, second;
    QLabel title(&first);
    SetSourceText(&title, "Apply");
    title.setToolTip("x");
    SetSourceHint(&title, "Cancel");
    QCheckBox option(&second);
    SetSourceText(&option, "Accelaration");
    QLabel built(&second);
    SetPlainText(&built, "Macro #3");
    first.show();
    second.show();

    language.SetLang("0804");
    QCOMPARE(title.text(), QString::fromUtf8("应用"));
    QCOMPARE(title.toolTip(), QString::fromUtf8("取消"));
    QVERIFY(option.text() != QString("Accelaration"));
    QCOMPARE(built.text(), QString("Macro #3"));

    language.SetLang("0409");
    QCOMPARE(title.text(), QString("Apply"));
    QCOMPARE(option.text(), QString("Accelaration"));

    // A window opened later shows the active language from the start.
    language.SetLang("0404");
    QLabel later;
    SetSourceText(&later, "Apply");
    QCOMPARE(later.text(), QString::fromUtf8("套用"));
    language.SetLang("0409");
}

void ToolkitTest::everyPictureIsThereAtOnceAndTwiceItsSize()
{
    // Every name the program loads, and the style sheet's.
    for (const char* name : { "logo", "help", "minimize", "close", "test_target", "warning", "arrow_up", "arrow_down",
             "check", "chevron_down" }) {
        const QPixmap once = ProgramPicture(name, 1.0);
        const QPixmap twice = ProgramPicture(name, 2.0);
        QVERIFY2(!once.isNull() && !twice.isNull(), name);
        QCOMPARE(twice.size(), once.size() * 2);
        QCOMPARE(twice.deviceIndependentSize(), once.deviceIndependentSize());
    }
    // The mouse's light is kept as raw pixels.
    for (const char* name : { "mouse-base", "mouse-light" }) {
        const QImage once = ProgramImage(name, 1.0);
        const QImage twice = ProgramImage(name, 2.0);
        QVERIFY2(!once.isNull() && !twice.isNull(), name);
        QCOMPARE(twice.size(), once.size() * 2);
        QCOMPARE(twice.deviceIndependentSize(), once.deviceIndependentSize());
    }
    for (const QString& line : QString::fromUtf8([] {
             QFile sheet(":/theme/theme.qss");
             return sheet.open(QIODevice::ReadOnly) ? sheet.readAll() : QByteArray();
         }())
                                   .split('\n')) {
        const int at = line.indexOf("url(");
        if (at >= 0) {
            const QString file = line.mid(at + 4, line.indexOf(')', at) - at - 4);
            QVERIFY2(QFile::exists(file), qPrintable(file));
        }
    }
}

void ToolkitTest::rawPicturesAreReadExactlyAndDamagedOnesRefused()
{
    auto raw = [](quint32 width, quint32 height, QList<quint32> pixels) {
        QByteArray bytes("BVPX");
        for (quint32 v : QList<quint32> { width, height } + pixels)
            for (int shift = 0; shift < 32; shift += 8)
                bytes.append(char((v >> shift) & 0xFF));
        return bytes;
    };
    const QImage good = ReadRawPicture(raw(2, 1, { 0x80402010, 0xFF00FF00 }));
    QCOMPARE(good.size(), QSize(2, 1));
    QCOMPARE(good.format(), QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(good.pixel(0, 0), 0x80402010u);
    QCOMPARE(good.pixel(1, 0), 0xFF00FF00u);

    const QByteArray damaged[] = {
        {},
        "BVPX",
        raw(2, 1, { 0x80402010 }), // a pixel short
        raw(2, 1, { 0x80402010, 0xFF00FF00, 0 }), // a pixel over
        raw(0, 0, {}),
        raw(0x10000, 0x10000, {}), // a size that overflows 32 bits
        QByteArray("XVPX") + raw(1, 1, { 0 }).mid(4),
    };
    for (const QByteArray& bytes : damaged)
        QVERIFY2(ReadRawPicture(bytes).isNull(), bytes.toHex().constData());
}

void ToolkitTest::windowBackgroundIsTheSameWhenRepaintedInPart()
{
    QWidget window;
    window.resize(203, 117);
    for (const qreal ratio : { 1.0, 1.5, 2.0 }) {
        auto paint = [&](std::optional<QRect> clip) {
            QImage image((QSizeF(window.size()) * ratio).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::black);
            QPainter p(&image);
            if (clip)
                p.setClipRect(*clip);
            PaintWindowBackground(&window, p);
            return image;
        };
        const QImage whole = paint(std::nullopt);
        // A child's repaint: the background behind it only, starting at odd coordinates.
        const QRect part(37, 21, 61, 45);
        const QImage partial = paint(part);
        // Device pixels wholly inside the part (at 1.5 its edges cut pixels in half).
        const QRect inDevice
            = QRect((QPointF(part.topLeft()) * ratio).toPoint(), (QSizeF(part.size()) * ratio).toSize())
                  .adjusted(1, 1, -1, -1);
        QVERIFY2(partial.copy(inDevice) == whole.copy(inDevice), qPrintable(QString::number(ratio)));
        QCOMPARE(partial.pixel(0, inDevice.top()), QColor(Qt::black).rgb());
        // The texture: a faint line through (13, 0), (12, 1), (11, 2)..., brighter than its
        // neighbour in the same block of the shade.
        const QColor line = whole.pixelColor((QPointF(11, 2) * ratio).toPoint());
        const QColor beside = whole.pixelColor((QPointF(10, 2) * ratio).toPoint());
        QVERIFY2(line.red() > beside.red() + 3, qPrintable(QString::number(ratio)));
    }
}

QTEST_MAIN(ToolkitTest)
#include "toolkit_test.moc"
