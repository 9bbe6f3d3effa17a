#include "shell/qt/dialogs/about_dialog.h"

#include <QDesktopServices>
#include <QUrl>

#include "gui/dialog_test_support.h"

namespace {

// Takes the place of the browser for the https scheme.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

TEST(AboutDialog, ShowsTheLogoWebOpensTheSiteAndOkCancelEndTheBox) {
  UrlCatcher browser;
  QDesktopServices::setUrlHandler("https", &browser, "open");
  for (const int end : {kIdOk, kIdCancel}) {
    AboutDialog d;
    EXPECT_FALSE(dialog_control_as<QLabel>(&d, 106)->pixmap().isNull());
    click(&d, 1039);
    EXPECT_EQ(d.result(), 0) << "the web button leaves the box open";
    click(&d, end);
    EXPECT_EQ(d.result(), end);
  }
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_EQ(browser.opened, QList<QUrl>(2, QUrl("https://vantrell.invalid/")));
}

}  // namespace

#include "about_dialog_test.moc"
