#include "platform/ImageSupport.h"

#include <QImageReader>
#include <gtest/gtest.h>

TEST(ImageSupport, NamesThePackageOnlyWhenTiffCannotBeRead)
{
    // This machine has the plug-in: the program starts.
    EXPECT_TRUE(gx::missingImageSupport(QImageReader::supportedImageFormats()).isEmpty());
    // Qt without it reads PNG and JPEG but not the artwork.
    const QString problem = gx::missingImageSupport({"bmp", "jpeg", "jpg", "png", "svg"});
    EXPECT_TRUE(problem.contains("qt6-image-formats-plugins")) << problem.toStdString();
    EXPECT_TRUE(problem.contains("TIFF"));
}
