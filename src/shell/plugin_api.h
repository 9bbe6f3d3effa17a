/* The contract between Vantrell and its video and input plug-ins (shared objects loaded at run
 * time). Plain C, so that a plug-in can be written in any language with a C ABI. */
#ifndef VANTRELL_PLUGIN_API_H
#define VANTRELL_PLUGIN_API_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Export names. */
#define PLUGIN_EXPORT_VIDEO_INIT "FN_VIDEO_INIT"
#define PLUGIN_EXPORT_VIDEO_OPTIONS "FN_VIDEO_OPTIONS"
#define PLUGIN_EXPORT_VIDEO_DESTROY "FN_VIDEO_DESTROY"
#define PLUGIN_EXPORT_VIDEO_SETFULLSCREEN "FN_VIDEO_SETFULLSCREEN"
#define PLUGIN_EXPORT_VIDEO_RENDER "FN_VIDEO_RENDER"
#define PLUGIN_EXPORT_VIDEO_MOVECALLBACK "FN_VIDEO_MOVECALLBACK"
#define PLUGIN_EXPORT_VIDEO_SNAPSHOT "FN_VIDEO_SNAPSHOT"
#define PLUGIN_EXPORT_INPUT_INIT "FN_INPUT_INIT"
#define PLUGIN_EXPORT_INPUT_OPTIONS "FN_INPUT_OPTIONS"
#define PLUGIN_EXPORT_INPUT_DESTROY "FN_INPUT_DESTROY"
#define PLUGIN_EXPORT_INPUT_GETDATA "FN_INPUT_GETDATA"

/* Messages a plug-in posts to the main window to hide and show the mouse cursor. */
#define PLUGIN_MSG_HIDE_CURSOR 0x8001u /* WM_APP + 1 */
#define PLUGIN_MSG_SHOW_CURSOR 0x8002u /* WM_APP + 2 */

/* One colour of a 256-entry colour table: red, green, blue, flags (4 in every used entry). */
typedef struct PaletteEntry {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
  uint8_t flags;
} PaletteEntry;

#define PALETTE_ENTRY_NOCOLLAPSE 4u

/* The host's main window as a plug-in sees it. `hwnd` in the init records points at this.
 * Every operation takes the structure itself as its first argument. */
typedef struct HostWindow {
  uint32_t size;   /* sizeof(HostWindow), for later extension */
  void* native;    /* the toolkit's widget of the client area (a QWidget* in the Qt shell) */
  void* host_data; /* the host's own */
  /* Shows a 32-bit 0x00RRGGBB image of width x height pixels (stride in bytes) scaled into the
   * client area. May be called from the emulation thread. */
  void (*show_image)(struct HostWindow* w, const uint32_t* pixels, int width, int height,
                     int stride);
  /* Switches between windowed and full screen. */
  void (*set_fullscreen)(struct HostWindow* w, int fullscreen);
  /* Posts one of the PLUGIN_MSG_* messages to the window. */
  void (*post_message)(struct HostWindow* w, uint32_t message);
  /* 1 while the key is held down. Keys are the toolkit's key codes (Qt::Key in the Qt shell). */
  int (*key_down)(struct HostWindow* w, int key);
} HostWindow;

/* Handed to FN_VIDEO_INIT; valid while the game runs. */
typedef struct VideoInitInfo {
  HostWindow* hwnd;
  void* hinstance;
  uint8_t* frame_buffer;       /* 240 rows of 272 bytes of colour indices */
  const PaletteEntry* palette; /* 256 entries */
  uint8_t has_mmx;
  uint8_t has_fpu;
  uint8_t padding[2];
} VideoInitInfo;

/* Handed to FN_INPUT_INIT. */
typedef struct InputInitInfo {
  HostWindow* hwnd;
  void* hinstance;
  uint8_t has_mmx;
  uint8_t has_fpu;
  uint8_t padding[2];
  uint8_t* sprite_memory; /* the 256 bytes of sprite memory */
} InputInitInfo;

/* The exports' types. */
typedef void (*FnVideoInit)(VideoInitInfo* info);
typedef void (*FnVideoVoid)(void); /* OPTIONS, DESTROY, SETFULLSCREEN, RENDER, MOVECALLBACK */
typedef void (*FnVideoSnapshot)(const char* file_name);
typedef void (*FnInputInit)(InputInitInfo* info);
typedef void (*FnInputVoid)(void); /* OPTIONS, DESTROY */
typedef uint32_t (*FnInputGetData)(uint32_t port);

#ifdef __cplusplus
}
#endif

#endif /* VANTRELL_PLUGIN_API_H */
