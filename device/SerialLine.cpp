#include "SerialLine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QStringList>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serialline {
namespace {

QSerialPort::Parity ToQt(protocol::Parity parity)
{
    switch (parity) {
    case protocol::Parity::None:
        return QSerialPort::NoParity;
    case protocol::Parity::Even:
        return QSerialPort::EvenParity;
    case protocol::Parity::Odd:
        return QSerialPort::OddParity;
    case protocol::Parity::Mark:
        return QSerialPort::MarkParity;
    case protocol::Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(protocol::StopBits stopBits)
{
    switch (stopBits) {
    case protocol::StopBits::One:
        return QSerialPort::OneStop;
    case protocol::StopBits::OneAndHalf:
        return QSerialPort::OneAndHalfStop;
    case protocol::StopBits::Two:
        return QSerialPort::TwoStop;
    }
    return QSerialPort::OneStop;
}

QString PathOf(const QSerialPortInfo &info)
{
    return info.systemLocation().isEmpty() ? info.portName() : info.systemLocation();
}

} // namespace

QString ChoosePort(const QString &given, QString &chosen)
{
    QStringList present;
    if (given.isEmpty()) {
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            present << PathOf(info);
    }
    return ChoosePort(given, present, chosen);
}

QString ChoosePort(const QString &given, const QStringList &present, QString &chosen)
{
    if (!given.isEmpty()) {
        chosen = given;
        return {};
    }
    if (present.size() == 1) {
        chosen = present.front();
        return {};
    }
    if (present.isEmpty())
        return QCoreApplication::translate(
            "SerialLine", "No serial port found. Start Probator with --port and the unit's "
                          "port, for example: probator --port /dev/ttyUSB0");
    return QCoreApplication::translate(
               "SerialLine", "Several serial ports found (%1). Start Probator with --port and the "
                             "unit's, for example: probator --port %2")
        .arg(present.join(QStringLiteral(", ")), present.front());
}

QString PermissionAdvice(const QString &path)
{
    struct stat info
    {
    };
    QString group = QStringLiteral("dialout");
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        if (const struct group *owner = ::getgrgid(info.st_gid))
            group = QString::fromLocal8Bit(owner->gr_name);
        else
            group = QString::number(info.st_gid);
    }
    return QCoreApplication::translate(
               "SerialLine",
               "Permission denied opening the serial port %1. It belongs to the group "
               "\"%2\": ask to be made a member (sudo usermod -aG %2 $USER), then "
               "log out and in again.")
        .arg(path, group);
}

QString Open(QSerialPort &port, const QString &path, const protocol::CommSettings &settings)
{
    if (!QFileInfo::exists(path))
        return QCoreApplication::translate(
                   "SerialLine", "The serial port %1 does not exist. Is the unit plugged in, and "
                                 "is that its port?")
            .arg(path);
    // QSerialPort reports a busy port and a forbidden one alike: ask the system first.
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
        return PermissionAdvice(path);

    port.setPortName(path);
    if (!port.open(QIODevice::ReadWrite)) {
        switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return QCoreApplication::translate("SerialLine", "The serial port %1 does not exist.")
                .arg(path);
        case QSerialPort::PermissionError:
            return QCoreApplication::translate(
                       "SerialLine", "The serial port %1 is busy: another program has it open "
                                     "(%2).")
                .arg(path, port.errorString());
        default:
            return QCoreApplication::translate("SerialLine",
                                               "The serial port %1 cannot be opened: %2.")
                .arg(path, port.errorString());
        }
    }
    const auto refuse = [&port, &path](const QString &what) {
        const QString text =
            QCoreApplication::translate("SerialLine", "The serial port %1 does not take %2: %3.")
                .arg(path, what, port.errorString());
        port.close();
        return text;
    };
    if (!port.setBaudRate(settings.baud))
        return refuse(QCoreApplication::translate("SerialLine", "%1 baud").arg(settings.baud));
    if (!port.setDataBits(static_cast<QSerialPort::DataBits>(settings.dataBits)))
        return refuse(
            QCoreApplication::translate("SerialLine", "%1 data bits").arg(settings.dataBits));
    if (!port.setParity(ToQt(settings.parity)))
        return refuse(QCoreApplication::translate("SerialLine", "that parity"));
#ifndef Q_OS_WIN
    // Termios knows one or two stop bits only, and QSerialPort takes 1.5 here without
    // complaint while the line runs with some other number.
    if (settings.stopBits == protocol::StopBits::OneAndHalf) {
        port.close();
        return QCoreApplication::translate(
                   "SerialLine", "The serial port %1 does not take 1.5 stop bits: this system's "
                                 "serial lines have 1 or 2.")
            .arg(path);
    }
#endif
    if (!port.setStopBits(ToQt(settings.stopBits)))
        return refuse(QCoreApplication::translate("SerialLine", "that number of stop bits"));
    if (!port.setFlowControl(QSerialPort::NoFlowControl))
        return refuse(QCoreApplication::translate("SerialLine", "running without flow control"));
    port.clear();
    return {};
}

} // namespace serialline
