#include "shell/qt/version_check.h"

#include <locale.h>
#include <stdlib.h>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "machine/emulation.h"
#include "shell/host.h"
#include "shell/registry.h"

namespace {

constexpr int kReplyBytes = 255;  // read into a 256-byte buffer, so it always ends in a NUL
// A host that never answers ends as an empty reply instead of blocking the window for good.
constexpr int kTransferTimeoutMs = 5000;
constexpr const char* kCaption = "Version Information";

// atof with '.' as the decimal point whatever the user's locale says (Qt applies the locale).
double version_number(const char* text) {
#ifdef _WIN32
  static const _locale_t c_numeric = _create_locale(LC_NUMERIC, "C");
  return _strtod_l(text, nullptr, c_numeric);
#else
  static const locale_t c_numeric = newlocale(LC_NUMERIC_MASK, "C", locale_t(0));
  return strtod_l(text, nullptr, c_numeric);
#endif
}

QString version_host() {
  char text[kRegistryStringSize];
  if (registry_get_string(kRegistryOptions, "VersionHost", text) != 0 || text[0] == 0) {
    return QString::fromLatin1(kDefaultVersionHost);
  }
  return QString::fromUtf8(text);
}

// The first bytes of the version file, or nothing when the request failed. Blocks until the
// reply ends; user input waits meanwhile, as it would behind a blocking call.
void fetch_version_file(QNetworkAccessManager& network, char* buffer) {
  QNetworkRequest request(QUrl(QStringLiteral("http://%1/version.dat").arg(version_host())));
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Vantrell"));
  request.setTransferTimeout(kTransferTimeoutMs);
  QNetworkReply* reply = network.get(request);
  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (reply->isOpen()) reply->read(buffer, kReplyBytes);
  delete reply;
}

void show(QWidget* owner, const char* text, const char* caption, MessageIcon icon) {
  host().message_box(text, caption, MessageButtons::Ok, icon, owner != nullptr);
}

// Everything between setting and clearing the pause request.
void check_and_report(QWidget* owner) {
  QNetworkAccessManager network;
  if (!network.supportedSchemes().contains(QStringLiteral("http"))) {
    show(owner, "Error: Cannot Create Internet Interface!", "Error", MessageIcon::Exclamation);
    return;
  }
  char buffer[kReplyBytes + 1] = {};
  fetch_version_file(network, buffer);
  const double latest = version_number(buffer);
  if (latest == kVantrellVersion) {
    show(owner, "You have the most current version of Vantrell", kCaption,
         MessageIcon::Information);
  } else if (latest > kVantrellVersion) {
    show(owner,
         "You do NOT have the most current version of Vantrell, Please download a newer version.",
         kCaption, MessageIcon::Information);
  } else {
    // An empty or unreadable reply converts to 0 and lands here.
    show(owner, "An Error Occured", kCaption, MessageIcon::Exclamation);
  }
}

}  // namespace

void version_check(QWidget* owner) {
  emu_requests |= REQUEST_PAUSE;
  check_and_report(owner);
  emu_requests &= uint16_t(~REQUEST_PAUSE);
}
