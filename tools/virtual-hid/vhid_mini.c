/* vhidmini.sys: the HID minidriver of the virtual bus's children. The HID
 * class driver sends it the minidriver requests; the child device below
 * answers them, so everything is passed down. Matched by the children's
 * compatible id VHID\HID (Wine's own winehid.sys is not used: its ids change
 * between Wine versions). */
#include <ntddk.h>

/* MinGW-w64 has no hidport.h: the two structures needed. */
struct minidriver_registration {
  ULONG Revision;
  DRIVER_OBJECT *DriverObject;
  UNICODE_STRING *RegistryPath;
  ULONG DeviceExtensionSize;
  BOOLEAN DevicesArePolled;
  UCHAR Reserved[3];
};

struct hid_device_extension { /* what the HID class driver puts in DeviceExtension */
  DEVICE_OBJECT *PhysicalDeviceObject;
  DEVICE_OBJECT *NextDeviceObject;
  void *MiniDeviceExtension;
};

NTSTATUS NTAPI HidRegisterMinidriver(struct minidriver_registration *reg);

static NTSTATUS NTAPI forward(DEVICE_OBJECT *dev, IRP *irp) {
  struct hid_device_extension *ext = dev->DeviceExtension;
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(ext->NextDeviceObject, irp);
}

/* Without it the driver could not be stopped, nor its file deleted. */
static void NTAPI unload(DRIVER_OBJECT *driver) {
  (void)driver;
}

static NTSTATUS NTAPI add_device(DRIVER_OBJECT *driver, DEVICE_OBJECT *fdo) {
  (void)driver;
  fdo->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry) {
  struct minidriver_registration reg;

  driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = forward;
  driver->MajorFunction[IRP_MJ_PNP] = forward;
  driver->MajorFunction[IRP_MJ_POWER] = forward;
  driver->DriverExtension->AddDevice = add_device;
  driver->DriverUnload = unload;

  RtlZeroMemory(&reg, sizeof(reg));
  reg.Revision = 1; /* HID_REVISION */
  reg.DriverObject = driver;
  reg.RegistryPath = registry;
  reg.DeviceExtensionSize = sizeof(ULONG);
  reg.DevicesArePolled = FALSE;
  return HidRegisterMinidriver(&reg);
}
