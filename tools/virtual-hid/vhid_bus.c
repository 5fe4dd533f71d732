/* vhidbus.sys: a root-enumerated virtual bus whose children are USB HID
 * devices made up at run time. Its control interface (GUID_VHID_CONTROL)
 * plugs, feeds and unplugs them; each child answers the HID minidriver
 * requests itself (descriptors, attributes, strings, reads), and the
 * pass-through minidriver vhidmini.sys puts the HID class driver on it. */
#include <ntddk.h>
#include <initguid.h>

#include "vhid_control.h"

/* MinGW-w64's ddk/hidclass.h has placeholder values for these and there is
 * no hidport.h: the minidriver requests are spelled out here. */
#define HID_CTL(id) CTL_CODE(FILE_DEVICE_KEYBOARD, (id), METHOD_NEITHER, FILE_ANY_ACCESS)
#define HIDMINI_GET_DEVICE_DESCRIPTOR HID_CTL(0)
#define HIDMINI_GET_REPORT_DESCRIPTOR HID_CTL(1)
#define HIDMINI_READ_REPORT HID_CTL(2)
#define HIDMINI_GET_STRING HID_CTL(4)
#define HIDMINI_ACTIVATE_DEVICE HID_CTL(7)
#define HIDMINI_DEACTIVATE_DEVICE HID_CTL(8)
#define HIDMINI_GET_DEVICE_ATTRIBUTES HID_CTL(9)

#pragma pack(push, 1)
struct hid_descriptor {
  UCHAR bLength, bDescriptorType;
  USHORT bcdHID;
  UCHAR bCountry, bNumDescriptors;
  UCHAR bReportType;
  USHORT wReportLength;
};
#pragma pack(pop)

struct hid_attributes {
  ULONG Size;
  USHORT VendorID, ProductID, VersionNumber;
  USHORT Reserved[11];
};

#define TAG 0x64696876u /* 'vhid' */
#define KIND_FDO 0x4f444642u
#define KIND_PDO 0x4f445043u

struct bus_fdo {
  ULONG kind;
  DEVICE_OBJECT *self, *pdo, *lower;
  UNICODE_STRING iface;
  BOOLEAN iface_ok;
  KSPIN_LOCK lock; /* guards child[], unplug_irp[] and unplug_owner[] */
  DEVICE_OBJECT *child[VHID_SLOTS];
  /* An unplug request waits here until its child has been removed. */
  IRP *unplug_irp[VHID_SLOTS];
  DEVICE_OBJECT *unplug_owner[VHID_SLOTS];
};

struct child_pdo {
  ULONG kind;
  struct bus_fdo *bus;
  DEVICE_OBJECT *self;
  ULONG slot;
  USHORT vid, pid, version, desc_len;
  WCHAR product[VHID_PRODUCT_LEN];
  UCHAR desc[VHID_MAX_DESC];
  KSPIN_LOCK lock; /* guards everything below */
  BOOLEAN present; /* still reported among the bus's children */
  BOOLEAN gone;    /* surprise-removed or removed: reads fail */
  IRP *pending_read; /* the HID class driver keeps one read outstanding */
  ULONG q_head, q_count, q_dropped;
  ULONG q_len[VHID_QUEUE_LEN];
  UCHAR q_data[VHID_QUEUE_LEN][VHID_MAX_REPORT];
};

static NTSTATUS finish(IRP *irp, NTSTATUS status, ULONG_PTR info) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = info;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static ULONG wlen(const WCHAR *s) {
  ULONG n = 0;
  while (s[n]) n++;
  return n;
}

static WCHAR *put_str(WCHAR *p, const char *s) {
  while (*s) *p++ = (WCHAR)*s++;
  return p;
}

static WCHAR *put_hex4(WCHAR *p, USHORT v) {
  static const char digits[] = "0123456789ABCDEF";
  int shift;
  for (shift = 12; shift >= 0; shift -= 4) *p++ = (WCHAR)digits[(v >> shift) & 0xf];
  return p;
}

static NTSTATUS NTAPI sync_done(DEVICE_OBJECT *dev, IRP *irp, void *ctx) {
  (void)dev;
  (void)irp;
  KeSetEvent((KEVENT *)ctx, IO_NO_INCREMENT, FALSE);
  return STATUS_MORE_PROCESSING_REQUIRED;
}

static NTSTATUS forward_sync(DEVICE_OBJECT *lower, IRP *irp) {
  KEVENT ev;
  KeInitializeEvent(&ev, NotificationEvent, FALSE);
  IoCopyCurrentIrpStackLocationToNext(irp);
  IoSetCompletionRoutine(irp, sync_done, &ev, TRUE, TRUE, TRUE);
  if (IoCallDriver(lower, irp) == STATUS_PENDING)
    KeWaitForSingleObject(&ev, Executive, KernelMode, FALSE, NULL);
  return irp->IoStatus.Status;
}

/* ---- child: reads ------------------------------------------------------- */

static void copy_report(IRP *irp, const UCHAR *data, ULONG len) {
  ULONG room = IoGetCurrentIrpStackLocation(irp)->Parameters.DeviceIoControl.OutputBufferLength;
  if (len > room) len = room;
  RtlCopyMemory(irp->UserBuffer, data, len);
  finish(irp, STATUS_SUCCESS, len);
}

/* Takes the pending read for completion; NULL when there is none or its
 * cancel routine already runs (and completes it). Under c->lock. */
static IRP *take_read(struct child_pdo *c) {
  IRP *irp = c->pending_read;
  if (!irp) return NULL;
  c->pending_read = NULL;
  return IoSetCancelRoutine(irp, NULL) ? irp : NULL;
}

static void NTAPI read_cancelled(DEVICE_OBJECT *dev, IRP *irp) {
  struct child_pdo *c = dev->DeviceExtension;
  KIRQL irql;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  KeAcquireSpinLock(&c->lock, &irql);
  if (c->pending_read == irp) c->pending_read = NULL;
  KeReleaseSpinLock(&c->lock, irql);
  finish(irp, STATUS_CANCELLED, 0);
}

/* Hands a report to the pending read, or queues it; *queued gets how many
 * wait in the queue afterwards. */
static NTSTATUS child_push_input(struct child_pdo *c, const UCHAR *data, ULONG len,
                                 ULONG *queued) {
  IRP *irp = NULL;
  KIRQL irql;
  ULONG tail;

  KeAcquireSpinLock(&c->lock, &irql);
  if (c->gone || !c->present) {
    KeReleaseSpinLock(&c->lock, irql);
    return STATUS_DEVICE_NOT_CONNECTED;
  }
  if (!c->q_count) irp = take_read(c);
  if (!irp) {
    if (c->q_count == VHID_QUEUE_LEN) { /* full: the oldest goes, as in a FIFO */
      c->q_head = (c->q_head + 1) % VHID_QUEUE_LEN;
      c->q_count--;
      c->q_dropped++;
    }
    tail = (c->q_head + c->q_count) % VHID_QUEUE_LEN;
    RtlCopyMemory(c->q_data[tail], data, len);
    c->q_len[tail] = len;
    c->q_count++;
  }
  *queued = c->q_count;
  KeReleaseSpinLock(&c->lock, irql);

  if (irp) copy_report(irp, data, len);
  return STATUS_SUCCESS;
}

/* The device is going: reads fail from now on, the pending one at once
 * (the HID class driver waits for its read before it lets the device go). */
static void child_fail_reads(struct child_pdo *c) {
  IRP *irp;
  KIRQL irql;

  KeAcquireSpinLock(&c->lock, &irql);
  c->gone = TRUE;
  irp = take_read(c);
  KeReleaseSpinLock(&c->lock, irql);
  if (irp) finish(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
}

static NTSTATUS child_read(struct child_pdo *c, IRP *irp) {
  UCHAR buf[VHID_MAX_REPORT];
  ULONG len = 0;
  NTSTATUS status = STATUS_PENDING;
  KIRQL irql;

  KeAcquireSpinLock(&c->lock, &irql);
  if (c->gone)
    status = STATUS_DEVICE_NOT_CONNECTED;
  else if (c->q_count) {
    len = c->q_len[c->q_head];
    RtlCopyMemory(buf, c->q_data[c->q_head], len);
    c->q_head = (c->q_head + 1) % VHID_QUEUE_LEN;
    c->q_count--;
    status = STATUS_SUCCESS;
  } else if (c->pending_read)
    status = STATUS_DEVICE_BUSY;
  else {
    /* The HID class driver re-sends a failed read at once: hold it instead. */
    IoMarkIrpPending(irp);
    c->pending_read = irp;
    IoSetCancelRoutine(irp, read_cancelled);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
      c->pending_read = NULL; /* cancelled before the routine was set */
      status = STATUS_CANCELLED;
    }
  }
  KeReleaseSpinLock(&c->lock, irql);

  if (status == STATUS_SUCCESS) {
    copy_report(irp, buf, len);
    return status;
  }
  if (status == STATUS_CANCELLED) {
    finish(irp, status, 0);
    return STATUS_PENDING; /* marked pending above */
  }
  if (status == STATUS_PENDING) return status;
  return finish(irp, status, 0);
}

/* ---- child: the minidriver requests -------------------------------------- */

static NTSTATUS child_internal_ioctl(struct child_pdo *c, IRP *irp) {
  IO_STACK_LOCATION *sl = IoGetCurrentIrpStackLocation(irp);
  ULONG out_len = sl->Parameters.DeviceIoControl.OutputBufferLength;

  switch (sl->Parameters.DeviceIoControl.IoControlCode) {
    case HIDMINI_GET_DEVICE_DESCRIPTOR: {
      struct hid_descriptor *d = irp->UserBuffer;
      if (out_len < sizeof(*d)) return finish(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlZeroMemory(d, sizeof(*d));
      d->bLength = sizeof(*d);
      d->bDescriptorType = 0x21;
      d->bcdHID = 0x0111;
      d->bNumDescriptors = 1;
      d->bReportType = 0x22;
      d->wReportLength = c->desc_len;
      return finish(irp, STATUS_SUCCESS, sizeof(*d));
    }
    case HIDMINI_GET_REPORT_DESCRIPTOR:
      if (out_len < c->desc_len) return finish(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlCopyMemory(irp->UserBuffer, c->desc, c->desc_len);
      return finish(irp, STATUS_SUCCESS, c->desc_len);
    case HIDMINI_GET_DEVICE_ATTRIBUTES: {
      struct hid_attributes *a = irp->UserBuffer;
      if (out_len < sizeof(*a)) return finish(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlZeroMemory(a, sizeof(*a));
      a->Size = sizeof(*a);
      a->VendorID = c->vid;
      a->ProductID = c->pid;
      a->VersionNumber = c->version;
      return finish(irp, STATUS_SUCCESS, sizeof(*a));
    }
    case HIDMINI_GET_STRING: {
      /* Wine asks for string ids 1 to 3, Windows for 14 to 16. */
      ULONG id = (ULONG)(ULONG_PTR)sl->Parameters.DeviceIoControl.Type3InputBuffer & 0xffff;
      static const WCHAR maker[] = L"K7F3 virtual HID";
      static const WCHAR serial[] = L"0001";
      const WCHAR *s = (id == 1 || id == 14)   ? maker
                       : (id == 2 || id == 15) ? c->product
                       : (id == 3 || id == 16) ? serial
                                               : NULL;
      ULONG bytes;
      if (!s) return finish(irp, STATUS_INVALID_PARAMETER, 0);
      bytes = (wlen(s) + 1) * sizeof(WCHAR);
      if (out_len < bytes) return finish(irp, STATUS_BUFFER_TOO_SMALL, 0);
      RtlCopyMemory(irp->UserBuffer, s, bytes);
      return finish(irp, STATUS_SUCCESS, bytes);
    }
    case HIDMINI_READ_REPORT:
      return child_read(c, irp);
    case HIDMINI_ACTIVATE_DEVICE:
    case HIDMINI_DEACTIVATE_DEVICE:
      return finish(irp, STATUS_SUCCESS, 0);
    default:
      return finish(irp, STATUS_NOT_SUPPORTED, 0);
  }
}

/* ---- child: plug and play ------------------------------------------------ */

static NTSTATUS child_query_id(struct child_pdo *c, IRP *irp) {
  IO_STACK_LOCATION *sl = IoGetCurrentIrpStackLocation(irp);
  BUS_QUERY_ID_TYPE type = sl->Parameters.QueryId.IdType;
  WCHAR *id, *p;

  if (type != BusQueryDeviceID && type != BusQueryHardwareIDs && type != BusQueryCompatibleIDs &&
      type != BusQueryInstanceID)
    return irp->IoStatus.Status; /* left as the sender set it */
  if (!(id = ExAllocatePoolWithTag(PagedPool, 64 * sizeof(WCHAR), TAG)))
    return STATUS_INSUFFICIENT_RESOURCES;
  RtlZeroMemory(id, 64 * sizeof(WCHAR)); /* also the lists' second NUL */
  p = id;
  if (type == BusQueryDeviceID || type == BusQueryHardwareIDs) {
    p = put_str(p, "VHID\\VID_");
    p = put_hex4(p, c->vid);
    p = put_str(p, "&PID_");
    put_hex4(p, c->pid);
  } else if (type == BusQueryCompatibleIDs) {
    /* Wine's plug and play skips a child with no compatible id. */
    put_str(p, "VHID\\HID");
  } else {
    *p = (WCHAR)('0' + c->slot);
  }
  irp->IoStatus.Information = (ULONG_PTR)id;
  return STATUS_SUCCESS;
}

/* Completes the unplug request that waits for this child, if any. */
static void finish_unplug(struct child_pdo *c, NTSTATUS status) {
  struct bus_fdo *bus = c->bus;
  IRP *irp = NULL;
  KIRQL irql;

  KeAcquireSpinLock(&bus->lock, &irql);
  if (bus->unplug_owner[c->slot] == c->self) {
    irp = bus->unplug_irp[c->slot];
    bus->unplug_irp[c->slot] = NULL;
    bus->unplug_owner[c->slot] = NULL;
    if (irp && !IoSetCancelRoutine(irp, NULL)) irp = NULL; /* being cancelled */
  }
  KeReleaseSpinLock(&bus->lock, irql);
  if (irp) finish(irp, status, 0);
}

static NTSTATUS child_pnp(struct child_pdo *c, IRP *irp) {
  IO_STACK_LOCATION *sl = IoGetCurrentIrpStackLocation(irp);
  NTSTATUS status = irp->IoStatus.Status;
  BOOLEAN present;
  KIRQL irql;

  switch (sl->MinorFunction) {
    case IRP_MN_QUERY_ID:
      status = child_query_id(c, irp);
      break;
    case IRP_MN_QUERY_CAPABILITIES: {
      /* Wine's plug and play skips a child that fails this. */
      DEVICE_CAPABILITIES *caps = sl->Parameters.DeviceCapabilities.Capabilities;
      caps->Removable = 1;
      caps->SurpriseRemovalOK = 1;
      caps->UniqueID = 0;
      status = STATUS_SUCCESS;
      break;
    }
    case IRP_MN_START_DEVICE:
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
      status = STATUS_SUCCESS;
      break;
    case IRP_MN_SURPRISE_REMOVAL:
      child_fail_reads(c);
      status = STATUS_SUCCESS;
      break;
    case IRP_MN_REMOVE_DEVICE:
      child_fail_reads(c);
      KeAcquireSpinLock(&c->lock, &irql);
      present = c->present;
      KeReleaseSpinLock(&c->lock, irql);
      if (!present) { /* unplugged: the device object goes now */
        finish(irp, STATUS_SUCCESS, 0);
        finish_unplug(c, STATUS_SUCCESS);
        IoDeleteDevice(c->self);
        return STATUS_SUCCESS;
      }
      status = STATUS_SUCCESS; /* still ours: the bus deletes it when it goes */
      break;
  }
  irp->IoStatus.Status = status;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

/* ---- bus ------------------------------------------------------------------ */

static DEVICE_RELATIONS *bus_relations(struct bus_fdo *bus, DEVICE_RELATIONS *prev) {
  DEVICE_OBJECT *now[VHID_SLOTS];
  DEVICE_RELATIONS *rel;
  ULONG i, n = 0, prev_n = prev ? prev->Count : 0;
  KIRQL irql;

  /* Referenced under the lock, the list allocated outside it. */
  KeAcquireSpinLock(&bus->lock, &irql);
  for (i = 0; i < VHID_SLOTS; i++) {
    if (!bus->child[i]) continue;
    ObReferenceObject(bus->child[i]);
    now[n++] = bus->child[i];
  }
  KeReleaseSpinLock(&bus->lock, irql);

  rel = ExAllocatePoolWithTag(PagedPool, sizeof(*rel) + (prev_n + n) * sizeof(DEVICE_OBJECT *), TAG);
  if (!rel) {
    for (i = 0; i < n; i++) ObDereferenceObject(now[i]);
    return NULL;
  }
  rel->Count = 0;
  for (i = 0; i < prev_n; i++) rel->Objects[rel->Count++] = prev->Objects[i];
  for (i = 0; i < n; i++) rel->Objects[rel->Count++] = now[i];
  if (prev) ExFreePool(prev);
  return rel;
}

static NTSTATUS bus_plug(struct bus_fdo *bus, const struct vhid_plug *req) {
  DEVICE_OBJECT *dev;
  struct child_pdo *c;
  NTSTATUS status;
  KIRQL irql;
  BOOLEAN taken;

  if (req->slot >= VHID_SLOTS || !req->desc_len || req->desc_len > VHID_MAX_DESC)
    return STATUS_INVALID_PARAMETER;
  status = IoCreateDevice(bus->self->DriverObject, sizeof(*c), NULL, FILE_DEVICE_UNKNOWN,
                          FILE_AUTOGENERATED_DEVICE_NAME | FILE_DEVICE_SECURE_OPEN, FALSE, &dev);
  if (!NT_SUCCESS(status)) return status;
  c = dev->DeviceExtension;
  RtlZeroMemory(c, sizeof(*c));
  c->kind = KIND_PDO;
  c->bus = bus;
  c->self = dev;
  c->slot = req->slot;
  c->present = TRUE;
  c->vid = req->vid;
  c->pid = req->pid;
  c->version = req->version;
  c->desc_len = req->desc_len;
  RtlCopyMemory(c->desc, req->desc, req->desc_len);
  RtlCopyMemory(c->product, req->product, sizeof(c->product));
  c->product[VHID_PRODUCT_LEN - 1] = 0;
  KeInitializeSpinLock(&c->lock);
  dev->Flags &= ~DO_DEVICE_INITIALIZING;

  KeAcquireSpinLock(&bus->lock, &irql);
  /* A slot is free again only once its previous child has been removed. */
  taken = bus->child[req->slot] != NULL || bus->unplug_owner[req->slot] != NULL;
  if (!taken) bus->child[req->slot] = dev;
  KeReleaseSpinLock(&bus->lock, irql);
  if (taken) {
    IoDeleteDevice(dev);
    return STATUS_DEVICE_ALREADY_ATTACHED;
  }
  IoInvalidateDeviceRelations(bus->pdo, BusRelations);
  return STATUS_SUCCESS;
}

static void NTAPI unplug_cancelled(DEVICE_OBJECT *dev, IRP *irp) {
  struct bus_fdo *bus = dev->DeviceExtension;
  KIRQL irql;
  ULONG i;
  IoReleaseCancelSpinLock(irp->CancelIrql);
  KeAcquireSpinLock(&bus->lock, &irql);
  for (i = 0; i < VHID_SLOTS; i++) {
    if (bus->unplug_irp[i] == irp) bus->unplug_irp[i] = NULL; /* the child still goes */
  }
  KeReleaseSpinLock(&bus->lock, irql);
  finish(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS bus_unplug(struct bus_fdo *bus, ULONG slot, IRP *irp) {
  DEVICE_OBJECT *dev = NULL;
  struct child_pdo *c;
  KIRQL irql, child_irql;
  BOOLEAN cancelled = FALSE;

  if (slot >= VHID_SLOTS) return finish(irp, STATUS_INVALID_PARAMETER, 0);
  KeAcquireSpinLock(&bus->lock, &irql);
  dev = bus->child[slot];
  if (dev) {
    c = dev->DeviceExtension;
    bus->child[slot] = NULL;
    KeAcquireSpinLock(&c->lock, &child_irql);
    c->present = FALSE;
    KeReleaseSpinLock(&c->lock, child_irql);
    IoMarkIrpPending(irp);
    bus->unplug_irp[slot] = irp; /* completed once plug and play removed it */
    bus->unplug_owner[slot] = dev;
    IoSetCancelRoutine(irp, unplug_cancelled);
    if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
      bus->unplug_irp[slot] = NULL;
      cancelled = TRUE;
    }
  }
  KeReleaseSpinLock(&bus->lock, irql);
  if (!dev) return finish(irp, STATUS_DEVICE_NOT_CONNECTED, 0);
  IoInvalidateDeviceRelations(bus->pdo, BusRelations);
  if (cancelled) finish(irp, STATUS_CANCELLED, 0);
  return STATUS_PENDING;
}

static NTSTATUS bus_input(struct bus_fdo *bus, IRP *irp, ULONG in_len, ULONG out_len) {
  const struct vhid_input *req = irp->AssociatedIrp.SystemBuffer;
  DEVICE_OBJECT *dev = NULL;
  NTSTATUS status = STATUS_DEVICE_NOT_CONNECTED;
  ULONG queued = 0;
  KIRQL irql;

  if (in_len < sizeof(*req) || !req->len || req->len > VHID_MAX_REPORT || req->slot >= VHID_SLOTS)
    return finish(irp, STATUS_INVALID_PARAMETER, 0);
  KeAcquireSpinLock(&bus->lock, &irql);
  dev = bus->child[req->slot];
  if (dev) ObReferenceObject(dev); /* kept while unplugged meanwhile */
  KeReleaseSpinLock(&bus->lock, irql);
  if (dev) {
    status = child_push_input(dev->DeviceExtension, req->data, req->len, &queued);
    ObDereferenceObject(dev);
  }
  if (NT_SUCCESS(status) && out_len >= sizeof(ULONG)) {
    *(ULONG *)irp->AssociatedIrp.SystemBuffer = queued;
    return finish(irp, status, sizeof(ULONG));
  }
  return finish(irp, status, 0);
}

static NTSTATUS bus_ioctl(struct bus_fdo *bus, IRP *irp) {
  IO_STACK_LOCATION *sl = IoGetCurrentIrpStackLocation(irp);
  ULONG in_len = sl->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out_len = sl->Parameters.DeviceIoControl.OutputBufferLength;
  void *in = irp->AssociatedIrp.SystemBuffer;

  switch (sl->Parameters.DeviceIoControl.IoControlCode) {
    case IOCTL_VHID_PLUG:
      if (in_len < sizeof(struct vhid_plug)) return finish(irp, STATUS_INVALID_PARAMETER, 0);
      return finish(irp, bus_plug(bus, in), 0);
    case IOCTL_VHID_INPUT:
      return bus_input(bus, irp, in_len, out_len);
    case IOCTL_VHID_UNPLUG:
      if (in_len < sizeof(struct vhid_unplug)) return finish(irp, STATUS_INVALID_PARAMETER, 0);
      return bus_unplug(bus, ((struct vhid_unplug *)in)->slot, irp);
    default:
      return finish(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
  }
}

static NTSTATUS bus_pnp(struct bus_fdo *bus, IRP *irp) {
  IO_STACK_LOCATION *sl = IoGetCurrentIrpStackLocation(irp);
  DEVICE_OBJECT *gone[VHID_SLOTS];
  NTSTATUS status;
  KIRQL irql;
  ULONG i, n = 0;

  switch (sl->MinorFunction) {
    case IRP_MN_START_DEVICE:
      status = forward_sync(bus->lower, irp);
      if (NT_SUCCESS(status) && bus->iface_ok) IoSetDeviceInterfaceState(&bus->iface, TRUE);
      return finish(irp, status, irp->IoStatus.Information);
    case IRP_MN_QUERY_DEVICE_RELATIONS:
      if (sl->Parameters.QueryDeviceRelations.Type == BusRelations) {
        DEVICE_RELATIONS *rel = bus_relations(bus, (DEVICE_RELATIONS *)irp->IoStatus.Information);
        if (!rel) return finish(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
        irp->IoStatus.Information = (ULONG_PTR)rel;
        irp->IoStatus.Status = STATUS_SUCCESS;
      }
      break;
    case IRP_MN_SURPRISE_REMOVAL:
      if (bus->iface_ok) IoSetDeviceInterfaceState(&bus->iface, FALSE);
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
    case IRP_MN_REMOVE_DEVICE:
      if (bus->iface_ok) {
        IoSetDeviceInterfaceState(&bus->iface, FALSE);
        RtlFreeUnicodeString(&bus->iface);
        bus->iface_ok = FALSE;
      }
      /* Children still plugged in go with the bus. */
      KeAcquireSpinLock(&bus->lock, &irql);
      for (i = 0; i < VHID_SLOTS; i++) {
        if (bus->child[i]) gone[n++] = bus->child[i];
        bus->child[i] = NULL;
      }
      KeReleaseSpinLock(&bus->lock, irql);
      for (i = 0; i < n; i++) {
        child_fail_reads(gone[i]->DeviceExtension);
        IoDeleteDevice(gone[i]);
      }
      irp->IoStatus.Status = STATUS_SUCCESS;
      IoSkipCurrentIrpStackLocation(irp);
      status = IoCallDriver(bus->lower, irp);
      IoDetachDevice(bus->lower);
      IoDeleteDevice(bus->self);
      return status;
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
      irp->IoStatus.Status = STATUS_SUCCESS;
      break;
  }
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(bus->lower, irp);
}

/* ---- dispatch --------------------------------------------------------------- */

static NTSTATUS NTAPI dispatch_pnp(DEVICE_OBJECT *dev, IRP *irp) {
  if (*(ULONG *)dev->DeviceExtension == KIND_FDO) return bus_pnp(dev->DeviceExtension, irp);
  return child_pnp(dev->DeviceExtension, irp);
}

static NTSTATUS NTAPI dispatch_ioctl(DEVICE_OBJECT *dev, IRP *irp) {
  if (*(ULONG *)dev->DeviceExtension == KIND_FDO) return bus_ioctl(dev->DeviceExtension, irp);
  return finish(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

static NTSTATUS NTAPI dispatch_internal_ioctl(DEVICE_OBJECT *dev, IRP *irp) {
  if (*(ULONG *)dev->DeviceExtension == KIND_PDO)
    return child_internal_ioctl(dev->DeviceExtension, irp);
  return finish(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

static NTSTATUS NTAPI dispatch_create_close(DEVICE_OBJECT *dev, IRP *irp) {
  (void)dev;
  return finish(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI add_device(DRIVER_OBJECT *driver, DEVICE_OBJECT *pdo) {
  DEVICE_OBJECT *fdo;
  struct bus_fdo *bus;
  NTSTATUS status;

  status = IoCreateDevice(driver, sizeof(*bus), NULL, FILE_DEVICE_BUS_EXTENDER,
                          FILE_DEVICE_SECURE_OPEN, FALSE, &fdo);
  if (!NT_SUCCESS(status)) return status;
  bus = fdo->DeviceExtension;
  RtlZeroMemory(bus, sizeof(*bus));
  bus->kind = KIND_FDO;
  bus->self = fdo;
  bus->pdo = pdo;
  KeInitializeSpinLock(&bus->lock);
  bus->lower = IoAttachDeviceToDeviceStack(fdo, pdo);
  if (!bus->lower) {
    IoDeleteDevice(fdo);
    return STATUS_NO_SUCH_DEVICE;
  }
  bus->iface_ok =
      NT_SUCCESS(IoRegisterDeviceInterface(pdo, &GUID_VHID_CONTROL, NULL, &bus->iface));
  fdo->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

static void NTAPI unload(DRIVER_OBJECT *driver) {
  (void)driver;
}

NTSTATUS NTAPI DriverEntry(DRIVER_OBJECT *driver, UNICODE_STRING *registry) {
  (void)registry;
  driver->DriverExtension->AddDevice = add_device;
  driver->DriverUnload = unload;
  driver->MajorFunction[IRP_MJ_PNP] = dispatch_pnp;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_ioctl;
  driver->MajorFunction[IRP_MJ_INTERNAL_DEVICE_CONTROL] = dispatch_internal_ioctl;
  driver->MajorFunction[IRP_MJ_CREATE] = dispatch_create_close;
  driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_create_close;
  return STATUS_SUCCESS;
}
