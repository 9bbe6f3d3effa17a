// The input plug-in, loaded as the program loads it and driven through its exports.
#include <SDL.h>

#include <QKeyEvent>
#include <QPushButton>

#include "tests/plugins/plugin_test_support.h"

namespace {

enum : uint32_t { A = 1, B = 2, Select = 4, Start = 8, Up = 16, Down = 32, Left = 64, Right = 128 };

class InputKeyboardTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(init && options && destroy && get_data);
    clear_plugin_settings();
  }
  void TearDown() override { destroy(); }

  void start() {
    info = {&host.window, nullptr, 0, 0, {}, nullptr};
    init(&info);
  }
  // The stream of a port with exactly these keys held.
  uint32_t with_keys(uint32_t port, std::set<int> keys) {
    host.held = std::move(keys);
    return get_data(port);
  }

  FnInputInit init = plugin_export<FnInputInit>("input_keyboard", PLUGIN_EXPORT_INPUT_INIT);
  FnInputVoid options = plugin_export<FnInputVoid>("input_keyboard", PLUGIN_EXPORT_INPUT_OPTIONS);
  FnInputVoid destroy = plugin_export<FnInputVoid>("input_keyboard", PLUGIN_EXPORT_INPUT_DESTROY);
  FnInputGetData get_data =
      plugin_export<FnInputGetData>("input_keyboard", PLUGIN_EXPORT_INPUT_GETDATA);
  FakeHost host;
  InputInitInfo info{};
};

// Only while a game runs (from INIT to DESTROY), and on ports 1 and 2 only.
TEST_F(InputKeyboardTest, DefaultKeysPressTheirButtonOnTheirPortAndOppositesCancel) {
  // In stream-bit order: A, B, Select, Start, Up, Down, Left, Right.
  const int keys[2][8] = {
      {Qt::Key_X, Qt::Key_Z, Qt::Key_Shift, Qt::Key_Return, Qt::Key_Up, Qt::Key_Down, Qt::Key_Left,
       Qt::Key_Right},
      {Qt::Key_G, Qt::Key_F, Qt::Key_Q, Qt::Key_W, Qt::Key_I, Qt::Key_K, Qt::Key_J, Qt::Key_L}};
  EXPECT_EQ(with_keys(1, {Qt::Key_X}), 0u) << "before INIT";
  start();
  for (uint32_t port : {1u, 2u}) {
    for (int bit = 0; bit < 8; ++bit) {
      const int key = keys[port - 1][bit];
      EXPECT_EQ(with_keys(port, {key}), 1u << bit) << port << " " << std::hex << key;
      EXPECT_EQ(with_keys(3 - port, {key}), 0u) << port << " " << std::hex << key;
    }
  }
  EXPECT_EQ(with_keys(1, {Qt::Key_Backspace}), Select);
  EXPECT_EQ(with_keys(1, {Qt::Key_X, Qt::Key_Z, Qt::Key_Return, Qt::Key_Up, Qt::Key_Left}),
            A | B | Start | Up | Left);
  EXPECT_EQ(get_data(0) | get_data(3), 0u);
  // Opposite directions cancel.
  EXPECT_EQ(with_keys(1, {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left}), Left);
  EXPECT_EQ(with_keys(2, {Qt::Key_I, Qt::Key_K, Qt::Key_J, Qt::Key_L, Qt::Key_G}), A);
  destroy();
  EXPECT_EQ(with_keys(1, {Qt::Key_X}), 0u) << "after DESTROY";
}

TEST_F(InputKeyboardTest, StoredBindingsTakeEffectAtTheNextInit) {
  start();
  settings().setValue("Plugins/input_keyboard/Port1/A", "Key_P Key_Space");
  settings().setValue("Plugins/input_keyboard/Port2/Start", "");  // unbound
  EXPECT_EQ(with_keys(1, {Qt::Key_X}), A) << "a running game keeps its keys";
  destroy();
  start();
  EXPECT_EQ(with_keys(1, {Qt::Key_P}), A);
  EXPECT_EQ(with_keys(1, {Qt::Key_Space}), A);
  EXPECT_EQ(with_keys(1, {Qt::Key_X}), 0u);
  EXPECT_EQ(with_keys(2, {Qt::Key_W}), 0u);
  EXPECT_EQ(with_keys(2, {Qt::Key_G}), A) << "other buttons keep their defaults";
}

TEST_F(InputKeyboardTest, OptionsDialogRebindsAKeyAndTakesItFromItsOldButton) {
  start();
  on_next_dialog([](QDialog* d) {
    // Port 2's A onto X, which port 1's A had: port 1's A is left without a key.
    auto* button = d->findChild<QPushButton*>("port2_A_key0");
    ASSERT_NE(button, nullptr);
    button->click();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
    QApplication::sendEvent(button, &press);
    d->accept();
  });
  options();
  EXPECT_EQ(with_keys(2, {Qt::Key_X}), A) << "applied to the running game";
  EXPECT_EQ(with_keys(1, {Qt::Key_X}), 0u);
  EXPECT_EQ(with_keys(2, {Qt::Key_G}), 0u);
  EXPECT_EQ(settings().value("Plugins/input_keyboard/Port2/A").toString(), "Key_X");
}

// A virtual SDL controller stands in for a real one.
TEST_F(InputKeyboardTest, GameControllersPlayTheirPort) {
  start();
  if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 || SDL_NumJoysticks() != 0) {
    GTEST_SKIP() << "no SDL game-controller support, or a real controller is connected";
  }
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  const int first = SDL_JoystickAttachVirtualEx(&desc);
  ASSERT_GE(first, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(first);

  // Only the first controller's port; the stick presses a direction past half way.
  const std::pair<int, uint32_t> buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, A},         {SDL_CONTROLLER_BUTTON_B, B},
      {SDL_CONTROLLER_BUTTON_BACK, Select}, {SDL_CONTROLLER_BUTTON_START, Start},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, Up},  {SDL_CONTROLLER_BUTTON_Y, 0}};
  for (const auto& [button, bits] : buttons) {
    SDL_JoystickSetVirtualButton(pad, button, 1);
    EXPECT_EQ(with_keys(1, {}), bits) << button;
    EXPECT_EQ(with_keys(2, {}), 0u) << button;
    SDL_JoystickSetVirtualButton(pad, button, 0);
  }
  const std::tuple<int, int16_t, uint32_t> sticks[] = {{SDL_CONTROLLER_AXIS_LEFTX, -30000, Left},
                                                       {SDL_CONTROLLER_AXIS_LEFTY, 30000, Down},
                                                       {SDL_CONTROLLER_AXIS_LEFTX, 9000, 0}};
  for (const auto& [axis, value, bits] : sticks) {
    SDL_JoystickSetVirtualAxis(pad, axis, value);
    EXPECT_EQ(with_keys(1, {}), bits) << axis << " " << value;
    SDL_JoystickSetVirtualAxis(pad, axis, 0);
  }
  // Keyboard and controller add up; the second controller plays port 2.
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  EXPECT_EQ(with_keys(1, {Qt::Key_Z}), A | B);
  const int second = SDL_JoystickAttachVirtualEx(&desc);
  SDL_Joystick* pad2 = SDL_JoystickOpen(second);
  SDL_JoystickSetVirtualButton(pad2, SDL_CONTROLLER_BUTTON_START, 1);
  EXPECT_EQ(with_keys(2, {}), Start);

  SDL_JoystickClose(pad2);
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(second);
  SDL_JoystickDetachVirtual(first);
  EXPECT_EQ(with_keys(1, {}), 0u) << "a controller that went away presses nothing";
}

}  // namespace
