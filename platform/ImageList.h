#pragma once

#include <QHash>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace rt {

// Which picture of an image list an item shows: its 1-based index or its key, as the
// runtime's Image properties took either. The default refers to no picture.
struct ImageRef {
    int index = 0;
    QString key;

    ImageRef() = default;
    ImageRef(int i) : index(i) {}
    ImageRef(const QString& k) : key(k) {}
    ImageRef(const char* k) : key(QString::fromUtf8(k)) {}

    bool isNone() const { return index <= 0 && key.isEmpty(); }
    friend bool operator==(const ImageRef& a, const ImageRef& b)
    {
        return a.index == b.index && a.key == b.key;
    }
};

// The pictures that tree and list views (and tool bars) take by index or key.
class ImageList : public QObject {
    Q_OBJECT

public:
    explicit ImageList(QObject* parent = nullptr);

    QSize ImageSize() const { return m_size; }
    void setImageSize(const QSize& size);

    // Appends a picture; its index is the new count. An empty key leaves it reachable by
    // index only. A key already in use adds nothing and gives 0 (the runtime refused it).
    int Add(const QIcon& picture, const QString& key = QString());
    // The same for a drawn picture. The sizes and states it is shown in (a tool bar's
    // size, greyed, selected) are made once each and go when the list's icon goes; the
    // toolkit would keep them in its shared pixmap cache for the rest of the run, one set
    // for every window that drew the picture afresh.
    int Add(const QPixmap& picture, const QString& key = QString());
    int Count() const { return static_cast<int>(m_icons.size()); }
    void Clear();

    // The picture an item refers to; a null icon for no picture or one not in the list.
    QIcon Icon(const ImageRef& ref) const;
    // 1-based index of a key; 0 when there is none.
    int IndexOf(const QString& key) const { return m_keys.value(key, 0); }

signals:
    void changed();

private:
    QSize m_size{16, 16};
    QList<QIcon> m_icons;
    QHash<QString, int> m_keys;
};

} // namespace rt
