/* The control protocol between vhid-ctl.exe (user mode) and vhidbus.sys:
 * DeviceIoControl requests on the bus's control interface. Shared by the C
 * driver and the controller, so plain C. */
#ifndef VHID_CONTROL_H
#define VHID_CONTROL_H

/* Registered on the bus device; the controller finds and opens it. */
DEFINE_GUID(GUID_VHID_CONTROL, 0x3b8e51d4, 0x27c6, 0x4f19, 0xa0, 0x5e, 0x9c, 0x14, 0x6d, 0x82, 0xf3,
            0x07);

#define VHID_CODE(n) CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900 + (n), METHOD_BUFFERED, FILE_ANY_ACCESS)
#define IOCTL_VHID_PLUG VHID_CODE(0)   /* in: struct vhid_plug */
#define IOCTL_VHID_INPUT VHID_CODE(1)  /* in: struct vhid_input; out: ULONG reports queued */
#define IOCTL_VHID_UNPLUG VHID_CODE(2) /* in: struct vhid_unplug; pends until removed */

#define VHID_SLOTS 8
#define VHID_MAX_DESC 128
/* Bytes on the wire: a report id (when declared) and up to 64 bytes of data. */
#define VHID_MAX_REPORT 65
/* Reports a device keeps while the HID class driver has no read pending. */
#define VHID_QUEUE_LEN 256
#define VHID_PRODUCT_LEN 32

struct vhid_plug {
  ULONG slot;
  USHORT vid, pid, version, desc_len;
  WCHAR product[VHID_PRODUCT_LEN]; /* NUL terminated */
  UCHAR desc[VHID_MAX_DESC];       /* the HID report descriptor */
};

/* Exactly what the device sends on its interrupt pipe: no leading zero
 * unless the descriptor declares report ids. */
struct vhid_input {
  ULONG slot;
  ULONG len;
  UCHAR data[VHID_MAX_REPORT];
};

struct vhid_unplug {
  ULONG slot;
};

#endif
