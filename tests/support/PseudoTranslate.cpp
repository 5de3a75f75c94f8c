// Makes a pseudo translation of a program's texts, for the test that runs the windows in
// it: every text wrapped in ⟦ ⟧ and its letters accented, so that a text the catalogue did
// not reach stands out as plain English. Placeholders (%1, %n, %L1), markup, entities and
// file patterns (*.cfg) stay as they are, or the texts would no longer work.
//
//   pseudo_translate TEMPLATE.ts ENGLISH.ts LANGUAGE OUT.ts
//
// TEMPLATE.ts has every text (lupdate's output); ENGLISH.ts the singular and plural forms
// of the counted ones, which the pseudo forms are made from.

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstdio>
#include <functional>

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    bool numerus = false;
    QStringList forms; // the English catalogue's, for counted texts
};

QString Accented(const QString &text)
{
    static const QString plain = QStringLiteral("abcdefghijklmnopqrstuvwxyz"
                                                "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    static const QString marked = QStringLiteral("åƀçđéƒĝĥîĵķļɱñöþǫŕšţûṽŵẋýž"
                                                 "ÅƁÇĐÉƑĜĤÎĴĶĻṀÑÖÞǪŔŠŢÛṼŴẊÝŽ");
    // What must reach the program unchanged: placeholders, markup, entities, patterns.
    static const QRegularExpression kept(
        QStringLiteral(R"(%L?n|%L?\d+|<[^>]*>|&[A-Za-z]+;|&#\d+;|\*[^\s|()]*)"));
    QString out;
    qsizetype at = 0;
    const auto accent = [&out](QStringView part) {
        for (const QChar c : part) {
            const qsizetype i = plain.indexOf(c);
            out += i < 0 ? c : marked.at(i);
        }
    };
    for (auto it = kept.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        accent(QStringView(text).mid(at, m.capturedStart() - at));
        out += m.captured();
        at = m.capturedEnd();
    }
    accent(QStringView(text).mid(at));
    return out;
}

QString Pseudo(const QString &text)
{
    if (text.isEmpty())
        return text;
    // A file dialog's filter list keeps its "|" separators and patterns bare.
    if (text.contains(QLatin1Char('|'))) {
        QStringList parts = text.split(QLatin1Char('|'));
        for (qsizetype i = 0; i < parts.size(); i += 2)
            parts[i] = Pseudo(parts[i]);
        return parts.join(QLatin1Char('|'));
    }
    return QStringLiteral("⟦") + Accented(text) + QStringLiteral("⟧");
}

// An element's text, with the control characters that lupdate writes as <byte value="xd"/>.
QString ReadText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            text += xml.text();
        } else if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == QLatin1String("byte"))
                text += QChar(
                    xml.attributes().value(QLatin1String("value")).mid(1).toUShort(nullptr, 16));
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return text;
}

void WriteText(QXmlStreamWriter &xml, const QString &element, const QString &text)
{
    xml.writeStartElement(element);
    qsizetype at = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() >= 0x20 || text[i] == QLatin1Char('\n') ||
            text[i] == QLatin1Char('\t'))
            continue;
        xml.writeCharacters(text.mid(at, i - at));
        xml.writeEmptyElement(QStringLiteral("byte"));
        xml.writeAttribute(QStringLiteral("value"),
                           QStringLiteral("x%1").arg(text[i].unicode(), 0, 16));
        at = i + 1;
    }
    xml.writeCharacters(text.mid(at));
    xml.writeEndElement();
}

bool Read(const QString &path, const std::function<void(Message &)> &each)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "pseudo_translate: cannot read %s\n", qPrintable(path));
        return false;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        // A counted message is complete at the end of its translation.
        if (xml.isEndElement() && xml.name() == QLatin1String("translation") && message.numerus)
            each(message);
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message =
                Message{context,
                        {},
                        {},
                        xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes"),
                        {}};
        } else if (name == QLatin1String("source")) {
            message.source = ReadText(xml);
        } else if (name == QLatin1String("comment")) {
            message.comment = xml.readElementText();
        } else if (name == QLatin1String("numerusform")) {
            message.forms << ReadText(xml);
        } else if (name == QLatin1String("translation") && !message.numerus) {
            xml.skipCurrentElement();
            each(message);
        }
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "pseudo_translate: %s: %s\n", qPrintable(path),
                     qPrintable(xml.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: pseudo_translate TEMPLATE.ts ENGLISH.ts LANGUAGE OUT.ts\n");
        return 2;
    }
    QHash<QString, QStringList> english;
    if (!Read(args[2], [&english](Message &m) {
            if (m.numerus)
                english.insert(m.context + QChar(0) + m.source, m.forms);
        }))
        return 1;
    QList<Message> messages;
    if (!Read(args[1], [&messages](Message &m) { messages << m; }))
        return 1;

    QFile out(args[4]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "pseudo_translate: cannot write %s\n", qPrintable(args[4]));
        return 1;
    }
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE TS>"));
    xml.writeStartElement(QStringLiteral("TS"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("2.1"));
    xml.writeAttribute(QStringLiteral("language"), args[3]);
    QString context;
    bool open = false;
    for (const Message &m : std::as_const(messages)) {
        if (!open || m.context != context) {
            if (open)
                xml.writeEndElement();
            xml.writeStartElement(QStringLiteral("context"));
            xml.writeTextElement(QStringLiteral("name"), m.context);
            context = m.context;
            open = true;
        }
        xml.writeStartElement(QStringLiteral("message"));
        if (m.numerus)
            xml.writeAttribute(QStringLiteral("numerus"), QStringLiteral("yes"));
        WriteText(xml, QStringLiteral("source"), m.source);
        if (!m.comment.isEmpty())
            xml.writeTextElement(QStringLiteral("comment"), m.comment);
        if (m.numerus) {
            xml.writeStartElement(QStringLiteral("translation"));
            QStringList forms = english.value(m.context + QChar(0) + m.source);
            // A count the English catalogue has no forms for yet is wrapped as it stands.
            if (forms.size() < 2 || forms.contains(QString()))
                forms = {m.source, m.source};
            for (const QString &form : std::as_const(forms))
                WriteText(xml, QStringLiteral("numerusform"), Pseudo(form));
            xml.writeEndElement();
        } else {
            WriteText(xml, QStringLiteral("translation"), Pseudo(m.source));
        }
        xml.writeEndElement();
    }
    if (open)
        xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return 0;
}
