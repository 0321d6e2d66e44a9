/* A CANUSB library that lacks canusb_Write: the binding must refuse it. */
#include <stdint.h>

int32_t canusb_Open(const char* serial, const char* bitrate, uint32_t code, uint32_t mask,
                    uint32_t flags) {
  (void)serial, (void)bitrate, (void)code, (void)mask, (void)flags;
  return 1;
}
int canusb_Close(int32_t h) {
  return h > 0;
}
int canusb_VersionInfo(int32_t h, char* verinfo) {
  return h > 0 && verinfo;
}
int canusb_getFirstAdapter(char* serial, int size) {
  return serial && size > 0 ? 0 : -6;
}
int canusb_getNextAdapter(char* serial, int size) {
  return serial && size > 0 ? 0 : -6;
}
