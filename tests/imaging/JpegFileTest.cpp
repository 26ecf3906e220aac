#include "imaging/JpegFile.h"
#include "support/TestFiles.h"
#include "support/TestImages.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace lumi {

class JpegFileTest final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replacesTheOldFile();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void JpegFileTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void JpegFileTest::replacesTheOldFile()
{
    const QString path = m_dir->filePath(u"photo.jpg"_s);
    QVERIFY(test::writeFile(path, "old"));

    QCOMPARE(JpegFile::write(test::solidImage(QSize(64, 32), Qt::green), path, 95), std::nullopt);

    const QImage written(path);
    QCOMPARE(written.size(), QSize(64, 32));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"photo.jpg"_s});
}

void JpegFileTest::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("why");
    QTest::addColumn<QString>("reason");

    QTest::newRow("nothing to encode") << u"empty image"_s << u"encode failed"_s;
    QTest::newRow("folder missing") << u"no folder"_s << u"cannot write"_s;
    QTest::newRow("a folder at the path") << u"folder"_s << u"cannot replace"_s;
}

void JpegFileTest::failedWriteKeepsTheOldFile()
{
    QFETCH(QString, why);
    QFETCH(QString, reason);

    QString path = m_dir->filePath(u"photo.jpg"_s);
    QVERIFY(test::writeFile(path, "old"));
    QImage image = test::solidImage(QSize(64, 32), Qt::green);
    if (why == u"empty image"_s)
        image = QImage();
    else if (why == u"no folder"_s)
        path = m_dir->filePath(u"gone/photo.jpg"_s);
    else
        QVERIFY(QDir().mkpath(path = m_dir->filePath(u"album.jpg"_s)));

    const std::optional<QString> failure = JpegFile::write(image, path, 95);

    QVERIFY(failure);
    QVERIFY2(failure->startsWith(reason), qPrintable(*failure));
    QCOMPARE(test::contentOf(m_dir->filePath(u"photo.jpg"_s)), QByteArray("old"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             why == u"folder"_s ? QStringList({u"album.jpg"_s, u"photo.jpg"_s})
                                : QStringList{u"photo.jpg"_s});
}

} // namespace lumi

QTEST_GUILESS_MAIN(lumi::JpegFileTest)
#include "JpegFileTest.moc"
