#include "frmOptions.h"

#include "Modal.h"
#include "ScreenUnits.h"
#include "TabStrip.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace {

// Where a panel stands when its tab is selected, and where it is put out of sight.
constexpr double PanelShownLeft = 210;
constexpr double PanelHiddenLeft = -20000;
constexpr double PanelTop = 480;
constexpr double PanelWidth = 5685;
constexpr double PanelHeight = 3780;

constexpr int KeyTab = 9;
constexpr int ShiftBit = 1;
constexpr int CtrlBit = 2;
constexpr int AltBit = 4;

void Place(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(screenunits::TwipsToPixels(left, top, width, height, widget));
}

QPushButton *MakeButton(QWidget *parent, const char *name, const QString &text, double left)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    Place(button, left, 4455, 1095, 375);
    return button;
}

int ShiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? ShiftBit : 0) |
           (modifiers.testFlag(Qt::ControlModifier) ? CtrlBit : 0) |
           (modifiers.testFlag(Qt::AltModifier) ? AltBit : 0);
}

} // namespace

frmOptions::frmOptions(Modal &modal, QWidget *parent) : QDialog(parent), m_modal(modal)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(screenunits::TwipsToPixelsX(6150, this), screenunits::TwipsToPixelsY(4935, this));

    m_tbsOptions = new TabStrip(this);
    m_tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    for (int i = 1; i <= 4; ++i)
        m_tbsOptions->addTab(tr("Group %1").arg(i));
    m_tbsOptions->setCurrentIndex(0);
    Place(m_tbsOptions, 105, 120, 5895, 4245);

    // Each sample frame sits a little further in than the one before.
    static constexpr double FrameLeft[] = {208, 307, 406, 505};
    static constexpr double FrameTop[] = {207, 305, 403, 502};
    for (int i = 0; i < 4; ++i) {
        auto *panel = new QWidget(this);
        panel->setObjectName(QStringLiteral("picOptions"));
        panel->setProperty("index", i);
        Place(panel, i == 0 ? PanelShownLeft : PanelHiddenLeft, PanelTop, PanelWidth, PanelHeight);
        auto *frame = new QGroupBox(tr("Sample %1").arg(i + 1), panel);
        frame->setObjectName(QStringLiteral("fraSample%1").arg(i + 1));
        Place(frame, FrameLeft[i], FrameTop[i], 2033, 2022);
        m_picOptions[static_cast<std::size_t>(i)] = panel;
    }

    QPushButton *cmdOK = MakeButton(this, "cmdOK", tr("OK"), 2490);
    m_cmdCancel = MakeButton(this, "cmdCancel", tr("Cancel"), 3720);
    QPushButton *cmdApply = MakeButton(this, "cmdApply", tr("&Apply"), 4920);
    // Enter chooses OK wherever the focus is, also on the tab strip; the dialog stores
    // nothing, so no answer can lose anything.
    cmdOK->setDefault(true);

    connect(m_tbsOptions, &QTabBar::currentChanged, this, [this] { tbsOptions_Click(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdApply, &QPushButton::clicked, this, [this] { cmdApply_Click(); });

    tbsOptions_Click();
    // Every key press of the application passes here; eventFilter keeps those meant for
    // this dialog.
    qApp->installEventFilter(this);
}

QWidget *frmOptions::picOptions(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_picOptions.size()))
        return nullptr;
    return m_picOptions[static_cast<std::size_t>(index)];
}

bool frmOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QDialog::eventFilter(watched, event);
    // Qt hands a key press first to the keyboard grabber, else to the focus widget of the
    // active window (the window itself when nothing has the focus), and then to its
    // parents while they ignore it. Acting only at that first stop, and only when it is in
    // this dialog, runs the dialog's rule once, before the control sees the key.
    QWidget *first = QWidget::keyboardGrabber();
    if (!first)
        first = focusWidget() ? focusWidget() : this;
    if (watched == first && (first == this || isAncestorOf(first))) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Qt reports Shift+Tab as Backtab; to the rule both are the Tab key.
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        try {
            Form_KeyDown(tab ? KeyTab : 0, ShiftState(key->modifiers()));
        } catch (...) {
            // A failing tab change must not stop the key or reach the event loop.
        }
    }
    // The key goes on to the focused control as usual.
    return false;
}

void frmOptions::keyPressEvent(QKeyEvent *event)
{
    // Cancel is the cancel button: Escape presses it rather than rejecting the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdCancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmOptions::Form_KeyDown(int keyCode, int shift)
{
    const int i = m_tbsOptions->currentIndex() + 1;
    const int c = m_tbsOptions->count();
    if (keyCode != KeyTab || c == 0)
        return;
    // Alt does not count: only the Shift and Ctrl bits are looked at.
    const int lowBits = shift & (ShiftBit | CtrlBit);
    if (lowBits == CtrlBit)
        m_tbsOptions->setCurrentIndex(i == c ? 0 : i);
    else if (lowBits == (CtrlBit | ShiftBit))
        m_tbsOptions->setCurrentIndex(i == 1 ? c - 1 : i - 2);
}

void frmOptions::tbsOptions_Click()
{
    const int selected = m_tbsOptions->currentIndex();
    for (int j = 0; j < static_cast<int>(m_picOptions.size()); ++j) {
        QWidget *panel = m_picOptions[static_cast<std::size_t>(j)];
        const bool shown = j == selected;
        panel->move(screenunits::TwipsToPixelsX(shown ? PanelShownLeft : PanelHiddenLeft, panel),
                    panel->y());
        panel->setEnabled(shown);
    }
}

void frmOptions::cmdOK_Click()
{
    m_modal.MsgBox(this, tr("Code goes here to set options and close dialog!"), QString(),
                   MsgStyle::OKOnly);
    accept();
}

void frmOptions::cmdCancel_Click()
{
    reject();
}

void frmOptions::cmdApply_Click()
{
    m_modal.MsgBox(this, tr("Apply Code goes here to set options w/o closing dialog!"), QString(),
                   MsgStyle::OKOnly);
}
