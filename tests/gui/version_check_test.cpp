#include "shell/qt/version_check.h"

#include <gtest/gtest.h>

#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <string>

#include "machine/emulation.h"
#include "main_window_test_support.h"
#include "shell/registry.h"

namespace {

constexpr const char* kCurrent = "You have the most current version of Vantrell";
constexpr const char* kNewer =
    "You do NOT have the most current version of Vantrell, Please download a newer version.";
constexpr const char* kError = "An Error Occured";

// A web host on 127.0.0.1 that answers every request with one fixed body, or never answers.
struct VersionServer {
  explicit VersionServer(const QByteArray& body, bool silent) {
    server.listen(QHostAddress::LocalHost);
    QObject::connect(&server, &QTcpServer::newConnection, &server, [=, this] {
      QTcpSocket* socket = server.nextPendingConnection();
      QObject::connect(socket, &QTcpSocket::readyRead, socket, [=, this] {
        request += socket->readAll();
        if (!request.contains("\r\n\r\n") || silent) return;
        paused = (emu_requests & REQUEST_PAUSE) != 0;
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
      });
    });
  }
  QTcpServer server;
  QByteArray request;
  bool paused = false;
};

// Every reply ends in exactly one box; 251 spaces put the 7 of the long reply at byte 256.
TEST(VersionCheck, AnswersFromTheLeadingNumberOfTheReply) {
  const struct {
    QByteArray body;
    const char* text;
    bool silent = false;
  } cases[] = {
      {"0.06\n", kCurrent},
      {"0.060", kCurrent},
      {" +6e-2 and more", kCurrent},
      {QByteArray(251, ' ') + "0.067", kCurrent},
      {"0.07", kNewer},
      {"1" + QByteArray(300, 'x'), kNewer},
      {"0.05", kError},
      {"abc", kError},
      {"", kError},
      {"0.07", kError, true},  // never answers
      {"no server", kError},
  };
  QWidget owner;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body.left(20).toStdString());
    auto server = std::make_unique<VersionServer>(c.body, c.silent);
    std::string host = "127.0.0.1:" + std::to_string(server->server.serverPort());
    if (c.body == "no server") server.reset();
    registry_set_string(kRegistryOptions, "VersionHost", host.c_str());
    test_host().clear_records();
    emu_requests = REQUEST_FULLSCREEN;
    version_check(&owner);

    EXPECT_EQ(emu_requests.load(), REQUEST_FULLSCREEN);  // the pause is cleared, nothing else
    const auto boxes = test_host().shown_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption + "|" + boxes[0].text, std::string("Version Information|") + c.text);
    EXPECT_EQ(boxes[0].icon,
              c.text == kError ? MessageIcon::Exclamation : MessageIcon::Information);
    EXPECT_TRUE(boxes[0].owned);
    if (!server || c.silent) continue;
    EXPECT_TRUE(server->request.startsWith("GET /version.dat HTTP/1.1\r\n"));
    EXPECT_TRUE(server->request.contains("User-Agent: Vantrell\r\n"));
    EXPECT_TRUE(server->paused);
  }
  emu_requests = 0;
}

}  // namespace
