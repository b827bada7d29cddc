#include "platform/ImageList.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace rt {

namespace {

// One picture and the copies made of it for showing, kept with the picture itself. It
// shows the picture as the toolkit's own pixmap icon does: never larger than drawn, made
// smaller keeping its proportions, greyed or tinted by the style for the other modes.
class PictureEngine : public QIconEngine {
public:
    explicit PictureEngine(const QPixmap& picture) : m_picture(picture) {}

    QIconEngine* clone() const override { return new PictureEngine(m_picture); }
    QString key() const override { return QStringLiteral("rt::ImageList"); }
    bool isNull() override { return m_picture.isNull(); }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        QSize actual = m_picture.size();
        if (!actual.isNull() && (actual.width() > size.width() || actual.height() > size.height()))
            actual.scale(size, Qt::KeepAspectRatio);
        return actual;
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        if (m_picture.isNull() || mode != QIcon::Normal || state != QIcon::Off)
            return {};
        return {m_picture.size()};
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        Q_UNUSED(scale);
        const QSize actual = actualSize(size, mode, state);
        if (m_picture.isNull() || actual.isEmpty())
            return {};
        // The greyed and tinted copies follow the palette.
        const qint64 palette = QGuiApplication::palette().cacheKey();
        if (palette != m_palette) {
            m_shown.clear();
            m_palette = palette;
        }
        for (const Shown& made : std::as_const(m_shown)) {
            if (made.size == actual && made.mode == mode && made.state == state)
                return made.pixmap;
        }
        // actual keeps the proportions already, within a pixel.
        QPixmap shown = actual == m_picture.size() ? m_picture
                                                   : m_picture.scaled(actual, Qt::IgnoreAspectRatio,
                                                                      Qt::SmoothTransformation);
        if (mode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            const QPixmap styled = QApplication::style()->generatedIconPixmap(mode, shown, &option);
            if (!styled.isNull())
                shown = styled;
        }
        m_shown.append({actual, mode, state, shown});
        return shown;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QPaintDevice* device = painter->device();
        const qreal ratio = device ? device->devicePixelRatio() : qApp->devicePixelRatio();
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

private:
    struct Shown {
        QSize size;
        QIcon::Mode mode;
        QIcon::State state;
        QPixmap pixmap;
    };
    QPixmap m_picture;
    QList<Shown> m_shown;
    qint64 m_palette = 0;
};

} // namespace

ImageList::ImageList(QObject* parent) : QObject(parent) {}

void ImageList::setImageSize(const QSize& size)
{
    if (size == m_size)
        return;
    m_size = size;
    emit changed();
}

int ImageList::Add(const QIcon& picture, const QString& key)
{
    if (!key.isEmpty() && m_keys.contains(key))
        return 0;
    m_icons.append(picture);
    const int index = Count();
    if (!key.isEmpty())
        m_keys.insert(key, index);
    emit changed();
    return index;
}

int ImageList::Add(const QPixmap& picture, const QString& key)
{
    return Add(QIcon(new PictureEngine(picture)), key);
}

void ImageList::Clear()
{
    m_icons.clear();
    m_keys.clear();
    emit changed();
}

QIcon ImageList::Icon(const ImageRef& ref) const
{
    const int index = ref.key.isEmpty() ? ref.index : IndexOf(ref.key);
    if (index < 1 || index > Count())
        return QIcon();
    return m_icons.at(index - 1);
}

} // namespace rt
