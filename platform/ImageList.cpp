#include "platform/ImageList.h"

namespace rt {

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
