#include "DeferredIcon.h"

#include <QIconEngine>
#include <QPainter>

#include <memory>
#include <optional>
#include <utility>

namespace {

struct Pictures
{
    std::function<QIcon()> make;
    std::optional<QIcon> made;

    const QIcon &Get()
    {
        if (!made)
            made = std::exchange(make, {})();
        return *made;
    }
};

// Hands every question to the icon made on first need. QIcon copies the engine when a copy
// of the icon is changed, so the pictures live in one place that every copy shares.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::shared_ptr<Pictures> pictures)
        : m_pictures(std::move(pictures))
    {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        m_pictures->Get().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    // Sizes here are in device pixels already: the made icon must not scale them again by
    // the screen's pixel ratio, as its pixmap() and actualSize() without a ratio would.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_pictures->Get().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return pixmap(size, mode, state).size();
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_pictures->Get().availableSizes(mode, state);
    }
    QString iconName() override { return m_pictures->Get().name(); }
    // Asked as a button is laid out, before anything is drawn: answered without making.
    bool isNull() override { return m_pictures->made && m_pictures->made->isNull(); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(m_pictures); }

private:
    std::shared_ptr<Pictures> m_pictures;
};

} // namespace

QIcon DeferredIcon(std::function<QIcon()> make)
{
    auto pictures = std::make_shared<Pictures>();
    pictures->make = std::move(make);
    return QIcon(new DeferredIconEngine(std::move(pictures)));
}
