// The program's own pictures: each one is found in the resources and drawn.
#include "shell/Icons.h"

#include <gtest/gtest.h>
#include <QImage>

namespace {

TEST(Icons, EveryPictureIsDrawn) {
    using icons::Picture;
    for (Picture p : {Picture::Add, Picture::New, Picture::Edit, Picture::Delete, Picture::Print,
                      Picture::Export, Picture::Move, Picture::Search, Picture::SearchNext, Picture::People,
                      Picture::Programmes, Picture::Applications, Picture::App}) {
        const QImage image = icons::icon(p).pixmap(24, 24).toImage();
        ASSERT_FALSE(image.isNull()) << int(p);
        int painted = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                painted += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(painted, 24 * 24 / 10) << int(p); // a picture, not an empty square
    }
}

} // namespace
