#include "frmAbout.h"

#include "AboutIcon.h"
#include "GetKeyValue.h"
#include "Modal.h"
#include "ScreenUnits.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

#include <string>

namespace {

const char *const ProgramTitle = "Quillon";
const char *const SysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char *const SysInfoValue = "PATH";
const char *const SysInfoLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char *const SysInfoLocationValue = "MSINFO";
const char *const SysInfoFileName = "MSINFO32.EXE";

void Place(QWidget *widget, double left, double top, double width, double height)
{
    widget->setGeometry(screenunits::TwipsToPixels(left, top, width, height, widget));
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text, double left, double top,
                  double width, double height)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    Place(label, left, top, width, height);
    return label;
}

// One half of the etched rule: a horizontal line from x1 to x2 at y (twips), `pixels`
// thick. Both halves share the name Line1 and tell themselves apart by their index.
void MakeLine(QWidget *parent, int index, double x1, double x2, double y, const QColor &colour,
              int pixels)
{
    auto *line = new QWidget(parent);
    line->setObjectName(QStringLiteral("Line1"));
    line->setProperty("index", index);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, colour);
    line->setPalette(palette);
    const int left = screenunits::TwipsToPixelsX(x1, parent);
    line->setGeometry(left, screenunits::TwipsToPixelsY(y, parent),
                      screenunits::TwipsToPixelsX(x2, parent) - left, pixels);
}

bool StartDetached(const QString &path)
{
    // No arguments: the path is the program itself, spaces and all. The tool opens in its
    // own normal window; there is nothing to wait for.
    return QProcess::startDetached(path, {});
}

// GetKeyValue speaks the registry's 8-bit text, which is the local 8-bit encoding.
bool ReadMachineValue(const char *key, const char *value, QString &result)
{
    std::string text;
    const bool found = GetKeyValue(registry::MachineRoot(), key, value, text);
    result = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    return found;
}

} // namespace

frmAbout::frmAbout(Modal &modal, QWidget *parent)
    : QDialog(parent), m_modal(modal), m_start(StartDetached)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About Quillon"));
    // A fixed dialog border: title and close box, no minimise or maximise box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(screenunits::TwipsToPixelsX(5865, this), screenunits::TwipsToPixelsY(3525, this));

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(AboutIcon());
    picIcon->setAlignment(Qt::AlignCenter);
    Place(picIcon, 240, 240, 540, 540);

    m_lblTitle = MakeLabel(this, "lblTitle", tr("Application Title"), 1050, 240, 4092, 480);
    m_lblVersion = MakeLabel(this, "lblVersion", tr("Version"), 1050, 780, 4092, 225);
    MakeLabel(this, "lblDescription", tr("App Description"), 1050, 1125, 4092, 1170);
    MakeLine(this, 1, 225, 5657, 2430, QColor(128, 128, 128), 1);
    MakeLine(this, 0, 240, 5657, 2445, QColor(255, 255, 255), 2);
    MakeLabel(this, "lblDisclaimer", tr("Warning: ..."), 255, 2625, 3870, 825);

    m_cmdOK = new QPushButton(tr("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    Place(m_cmdOK, 4245, 2625, 1467, 345);

    m_cmdSysInfo = new QPushButton(tr("&System Info..."), this);
    m_cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    Place(m_cmdSysInfo, 4260, 3075, 1452, 345);

    setTabOrder(m_cmdOK, m_cmdSysInfo);
    m_cmdOK->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });

    Form_Load();
}

void frmAbout::SetProgramStarter(ProgramStarter starter)
{
    m_start = std::move(starter);
}

void frmAbout::Form_Load()
{
    m_lblVersion->setText(tr("Version %1.%2.%3")
                              .arg(QUILLON_VERSION_MAJOR)
                              .arg(QUILLON_VERSION_MINOR)
                              .arg(QUILLON_VERSION_PATCH));
    m_lblTitle->setText(QString::fromLatin1(ProgramTitle));
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // OK is the cancel button as well: Escape presses it rather than rejecting the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdOK->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    try {
        StartSysInfo();
    } catch (...) {
        // StartSysInfo settles its own failures; nothing may reach the event loop.
    }
}

QString frmAbout::FindSysInfo() const
{
    QString path;
    if (ReadMachineValue(SysInfoKey, SysInfoValue, path))
        return path; // taken as it is: whether it can be started is learnt by starting it

    QString folder;
    if (!ReadMachineValue(SysInfoLocationKey, SysInfoLocationValue, folder))
        return {};
    // The entry names a folder that holds the program, which the registry's own platform
    // joins with a backslash. Here a backslash is an ordinary character in a file name, so
    // the program is looked for in the folder with the native separator instead; the
    // folder's own text is used as it is.
    const QString candidate = folder + QDir::separator() + QString::fromLatin1(SysInfoFileName);
    return QFileInfo(candidate).isFile() ? candidate : QString();
}

void frmAbout::StartSysInfo()
{
    bool started = false;
    try {
        const QString path = FindSysInfo();
        started = !path.isEmpty() && m_start && m_start(path);
    } catch (...) {
        // Whatever failed on the way, the user hears the one message below.
        started = false;
    }
    if (!started) {
        m_modal.MsgBox(this, tr("System Information Is Unavailable At This Time"), QString(),
                       MsgStyle::OKOnly);
    }
}
