#pragma once

#include <QHash>
#include <QPixmap>

// The check box pictures of the selection tree, drawn in code so they stay crisp at
// every device pixel ratio: 1 empty box, 2 and 4 blue tick, 3 grey tick, 5 hatched
// grey box; state 0 has no picture. Each is kSize x kSize logical pixels.
class CStatePictures
{
public:
    static constexpr int kSize = 16;

    // Draws the pictures for device pixel ratios 1 and 2; others are drawn when
    // first asked for.
    void Build();
    bool IsBuilt() const { return m_built; }
    // The picture of a state at a device pixel ratio; a null pixmap for state 0, a
    // state outside 1-5, or before Build.
    QPixmap Picture(int state, qreal devicePixelRatio) const;

    static QPixmap Draw(int state, qreal devicePixelRatio);

private:
    static quint64 Key(int state, qreal devicePixelRatio);

    mutable QHash<quint64, QPixmap> m_cache;
    bool m_built = false;
};
