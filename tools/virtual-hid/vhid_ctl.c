/* vhid-ctl.exe: installs the virtual HID bus into a Wine prefix, removes it,
 * and plugs, feeds and unplugs its devices on command (see README.md). */
#include <windows.h>
#include <setupapi.h>
#include <newdev.h>
#include <initguid.h>
#include <devguid.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "vhid_control.h"

static const WCHAR kRootInstance[] = L"ROOT\\VHID\\0000";
static const WCHAR kBusHardwareId[] = L"VHID\\BUS\0"; /* REG_MULTI_SZ */
static const char *const kDriverFiles[] = {"vhidbus.sys", "vhidmini.sys"};
static const char *const kServices[] = {"vhidbus", "vhidmini"};
/* The longest an unplug may take before the controller gives up on it. */
#define UNPLUG_WAIT_MS 10000

/* The bus's control interface; INVALID_HANDLE_VALUE when it is not there
 * within waitMs. */
static HANDLE open_control(DWORD waitMs) {
  DWORD start = GetTickCount();
  for (;;) {
    union {
      SP_DEVICE_INTERFACE_DETAIL_DATA_W d;
      char buf[1024];
    } u;
    SP_DEVICE_INTERFACE_DATA iface;
    HANDLE h = INVALID_HANDLE_VALUE;
    HDEVINFO set = SetupDiGetClassDevsW(&GUID_VHID_CONTROL, NULL, NULL,
                                        DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    iface.cbSize = sizeof(iface);
    if (set != INVALID_HANDLE_VALUE) {
      if (SetupDiEnumDeviceInterfaces(set, NULL, &GUID_VHID_CONTROL, 0, &iface)) {
        u.d.cbSize = sizeof(u.d);
        if (SetupDiGetDeviceInterfaceDetailW(set, &iface, &u.d, sizeof(u), NULL, NULL))
          h = CreateFileW(u.d.DevicePath, GENERIC_READ | GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                          FILE_FLAG_OVERLAPPED, NULL);
      }
      SetupDiDestroyDeviceInfoList(set);
    }
    if (h != INVALID_HANDLE_VALUE || GetTickCount() - start >= waitMs) return h;
    Sleep(20);
  }
}

/* Whole file into a heap buffer; NULL when it cannot be read. */
static char *read_all(const char *path, DWORD *size) {
  HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  char *data = NULL;
  DWORD n = 0;
  if (f == INVALID_HANDLE_VALUE) return NULL;
  *size = GetFileSize(f, NULL);
  if (*size != INVALID_FILE_SIZE && (data = malloc(*size + 1)) != NULL &&
      (!ReadFile(f, data, *size, &n, NULL) || n != *size)) {
    free(data);
    data = NULL;
  }
  CloseHandle(f);
  return data;
}

static BOOL same_file(const char *a, const char *b) {
  DWORD na = 0, nb = 0;
  char *da = read_all(a, &na), *db = read_all(b, &nb);
  BOOL same = da && db && na == nb && !memcmp(da, db, na);
  free(da);
  free(db);
  return same;
}

/* The drivers beside the INF are the ones installed, and the bus runs. */
static BOOL installed_current(const char *infDir) {
  char sys[MAX_PATH], ours[MAX_PATH], theirs[MAX_PATH];
  HANDLE h;
  size_t i;
  GetSystemDirectoryA(sys, sizeof(sys));
  for (i = 0; i < sizeof(kDriverFiles) / sizeof(kDriverFiles[0]); i++) {
    snprintf(ours, sizeof(ours), "%s\\%s", infDir, kDriverFiles[i]);
    snprintf(theirs, sizeof(theirs), "%s\\drivers\\%s", sys, kDriverFiles[i]);
    if (!same_file(ours, theirs)) return FALSE;
  }
  h = open_control(0);
  if (h == INVALID_HANDLE_VALUE) return FALSE;
  CloseHandle(h);
  return TRUE;
}

static BOOL remove_root_device(void) {
  SP_DEVINFO_DATA dev;
  HDEVINFO set = SetupDiCreateDeviceInfoList(NULL, NULL);
  BOOL ok = TRUE;
  dev.cbSize = sizeof(dev);
  if (SetupDiOpenDeviceInfoW(set, kRootInstance, NULL, 0, &dev) &&
      !SetupDiCallClassInstaller(DIF_REMOVE, set, &dev)) {
    printf("error: removing the bus device failed (error %lu)\n", GetLastError());
    ok = FALSE;
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

/* Removes every device the bus ever made (their instances stay listed,
 * not present, until removed); FALSE when one refuses. */
static BOOL remove_children(void) {
  SP_DEVINFO_DATA dev;
  HDEVINFO set = SetupDiGetClassDevsW(NULL, L"VHID", NULL, DIGCF_ALLCLASSES);
  BOOL ok = TRUE;
  DWORD i;
  if (set == INVALID_HANDLE_VALUE) return TRUE;
  dev.cbSize = sizeof(dev);
  for (i = 0; SetupDiEnumDeviceInfo(set, i, &dev); i++) {
    if (!SetupDiCallClassInstaller(DIF_REMOVE, set, &dev)) {
      printf("error: removing a device of the bus failed (error %lu)\n", GetLastError());
      ok = FALSE;
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

/* Stops (bounded) and deletes a service. Wine does not stop the minidriver
 * its plug and play loaded: that service goes when the wineserver ends. */
static void delete_service(SC_HANDLE scm, const char *name) {
  SERVICE_STATUS status;
  DWORD start = GetTickCount();
  SC_HANDLE s = OpenServiceA(scm, name, SERVICE_ALL_ACCESS);
  if (!s) return;
  if (ControlService(s, SERVICE_CONTROL_STOP, &status)) {
    while (QueryServiceStatus(s, &status) && status.dwCurrentState != SERVICE_STOPPED &&
           GetTickCount() - start < 5000)
      Sleep(20);
  }
  if (!DeleteService(s))
    printf("error: cannot delete the service %s (error %lu)\n", name, GetLastError());
  CloseServiceHandle(s);
}

/* What an uninstall must not leave behind; prints each and counts them.
 * inUse: driver files Wine's device host still holds (deleted once it ends). */
static int leftovers(const BOOL *inUse) {
  char sys[MAX_PATH], win[MAX_PATH], path[MAX_PATH];
  const char *const infs[] = {"vhid.inf", "vhid.pnf"};
  HKEY key;
  HANDLE h;
  int n = 0;
  size_t i;
  GetSystemDirectoryA(sys, sizeof(sys));
  GetWindowsDirectoryA(win, sizeof(win));
  for (i = 0; i < sizeof(kDriverFiles) / sizeof(kDriverFiles[0]); i++) {
    snprintf(path, sizeof(path), "%s\\drivers\\%s", sys, kDriverFiles[i]);
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) continue;
    if (inUse[i])
      printf("%s is in use until the wineserver ends\n", path);
    else
      printf("left: %s\n", path), n++;
  }
  for (i = 0; i < sizeof(infs) / sizeof(infs[0]); i++) {
    snprintf(path, sizeof(path), "%s\\inf\\%s", win, infs[i]);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) printf("left: %s\n", path), n++;
  }
  if (!RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\VHID", 0, KEY_READ,
                     &key)) {
    DWORD subkeys = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    if (subkeys) printf("left: %lu device ids under Enum\\VHID\n", subkeys), n++;
    RegCloseKey(key);
  }
  h = open_control(0);
  if (h != INVALID_HANDLE_VALUE) printf("left: the bus still answers\n"), n++, CloseHandle(h);
  return n;
}

static int uninstall(void) {
  char sys[MAX_PATH], win[MAX_PATH], path[MAX_PATH];
  const char *const infs[] = {"vhid.inf", "vhid.pnf"};
  BOOL inUse[sizeof(kDriverFiles) / sizeof(kDriverFiles[0])] = {FALSE};
  SC_HANDLE scm;
  size_t i;
  if (!remove_children() || !remove_root_device()) return 1;
  scm = OpenSCManagerA(NULL, NULL, SC_MANAGER_ALL_ACCESS);
  for (i = 0; scm && i < sizeof(kServices) / sizeof(kServices[0]); i++)
    delete_service(scm, kServices[i]);
  if (scm) CloseServiceHandle(scm);
  GetSystemDirectoryA(sys, sizeof(sys));
  for (i = 0; i < sizeof(kDriverFiles) / sizeof(kDriverFiles[0]); i++) {
    snprintf(path, sizeof(path), "%s\\drivers\\%s", sys, kDriverFiles[i]);
    /* A driver still loaded stays until Wine's device host ends. */
    inUse[i] = !DeleteFileA(path) && GetLastError() != ERROR_FILE_NOT_FOUND;
  }
  /* The copy of the INF the install left in the Windows folder. */
  GetWindowsDirectoryA(win, sizeof(win));
  for (i = 0; i < sizeof(infs) / sizeof(infs[0]); i++) {
    snprintf(path, sizeof(path), "%s\\inf\\%s", win, infs[i]);
    DeleteFileA(path);
  }
  if (leftovers(inUse)) {
    printf("error: the uninstall left the above behind\n");
    return 1;
  }
  printf("ok uninstalled\n");
  return 0;
}

static int install(const char *infArg) {
  SP_DEVINFO_DATA dev;
  char infA[MAX_PATH], dir[MAX_PATH], *slash;
  WCHAR inf[MAX_PATH];
  BOOL reboot = FALSE;
  DWORD t0 = GetTickCount();
  HDEVINFO set;
  HANDLE h;

  GetFullPathNameA(infArg, MAX_PATH, infA, NULL);
  snprintf(dir, sizeof(dir), "%s", infA);
  if ((slash = strrchr(dir, '\\')) != NULL) *slash = 0;
  if (installed_current(dir)) {
    printf("ok already installed\n");
    return 0;
  }
  /* Another build's drivers, or a bus that does not run: start afresh. */
  remove_root_device();
  MultiByteToWideChar(CP_ACP, 0, infA, -1, inf, MAX_PATH);

  dev.cbSize = sizeof(dev);
  set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_SYSTEM, NULL);
  if (!SetupDiCreateDeviceInfoW(set, kRootInstance, &GUID_DEVCLASS_SYSTEM, NULL, NULL, 0, &dev) ||
      !SetupDiSetDeviceRegistryPropertyW(set, &dev, SPDRP_HARDWAREID, (const BYTE *)kBusHardwareId,
                                         sizeof(kBusHardwareId)) ||
      !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &dev)) {
    printf("error: cannot create the bus device (error %lu)\n", GetLastError());
    SetupDiDestroyDeviceInfoList(set);
    return 1;
  }
  SetupDiDestroyDeviceInfoList(set);
  if (!UpdateDriverForPlugAndPlayDevicesW(NULL, L"VHID\\BUS", inf, INSTALLFLAG_FORCE, &reboot)) {
    printf("error: installing the drivers failed (error %lu)\n", GetLastError());
    return 1;
  }
  h = open_control(10000);
  if (h == INVALID_HANDLE_VALUE) {
    printf("error: the bus did not start within 10 s\n");
    return 1;
  }
  CloseHandle(h);
  printf("ok installed in %lu ms\n", GetTickCount() - t0);
  return 0;
}

/* ---- serve ----------------------------------------------------------------- */

struct slot {
  BOOL plugged;
  unsigned length;   /* InputReportByteLength: byte 0 included */
  unsigned reportId; /* 0: the descriptor declares none */
};
static struct slot slots[VHID_SLOTS];

/* A vendor-defined collection with one input report of length - 1 bytes,
 * under reportId when it is not 0. */
static USHORT make_descriptor(UCHAR *d, unsigned length, unsigned reportId) {
  USHORT n = 0;
  const UCHAR head[] = {0x06, 0x00, 0xff, 0x09, 0x01, 0xa1, 0x01};
  const UCHAR body[] = {0x09, 0x01, 0x15, 0x00, 0x26, 0xff, 0x00, 0x75, 0x08,
                        0x95, (UCHAR)(length - 1), 0x81, 0x02, 0xc0};
  memcpy(d + n, head, sizeof(head));
  n += sizeof(head);
  if (reportId) {
    d[n++] = 0x85;
    d[n++] = (UCHAR)reportId;
  }
  memcpy(d + n, body, sizeof(body));
  return (USHORT)(n + sizeof(body));
}

/* One request to the bus, bounded; FALSE with the error in GetLastError. */
static BOOL request(HANDLE h, DWORD code, void *in, DWORD inLen, void *out, DWORD outLen,
                    DWORD waitMs) {
  OVERLAPPED ov;
  DWORD got = 0;
  BOOL ok;
  memset(&ov, 0, sizeof(ov));
  ov.hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
  ok = DeviceIoControl(h, code, in, inLen, out, outLen, &got, &ov);
  if (!ok && GetLastError() == ERROR_IO_PENDING) {
    if (WaitForSingleObject(ov.hEvent, waitMs) != WAIT_OBJECT_0) CancelIo(h);
    ok = GetOverlappedResult(h, &ov, &got, TRUE);
  }
  CloseHandle(ov.hEvent);
  return ok;
}

/* Parses a number (decimal or 0x hex) no greater than max. */
static BOOL number(const char *s, unsigned long max, unsigned long *value) {
  char *end;
  if (!s || !*s || *s == '-' || *s == '+') return FALSE;
  *value = strtoul(s, &end, 0);
  return *end == 0 && *value <= max;
}

/* The slot argument, plugged or not as the command needs; prints the error. */
static struct slot *slot_arg(const char *s, unsigned long *index) {
  if (!number(s, VHID_SLOTS - 1, index)) {
    printf("error: \"%s\" is not a slot from 0 to %d\n", s ? s : "", VHID_SLOTS - 1);
    return NULL;
  }
  return &slots[*index];
}

static void send_report(HANDLE h, unsigned long index, const UCHAR *report, unsigned count) {
  const struct slot *s = &slots[index];
  struct vhid_input in;
  ULONG queued = 0;
  unsigned skip = s->reportId ? 0 : 1; /* without report ids byte 0 is not sent */
  if (!s->plugged) {
    printf("error: slot %lu is not plugged\n", index);
    return;
  }
  if (count > s->length) {
    printf("error: %u bytes; slot %lu takes reports of %u\n", count, index, s->length);
    return;
  }
  if (report[0] != s->reportId) {
    printf("error: byte 0 must be the report id, %u\n", s->reportId);
    return;
  }
  memset(&in, 0, sizeof(in));
  in.slot = index;
  in.len = s->length - skip; /* zero padded: shorter reports are dropped */
  memcpy(in.data, report + skip, count - skip);
  if (!request(h, IOCTL_VHID_INPUT, &in, sizeof(in), &queued, sizeof(queued), 5000))
    printf("error: the device refused the report (error %lu)\n", GetLastError());
  else
    printf("ok queued=%lu\n", queued);
}

static void unplug(HANDLE h, unsigned long index) {
  struct vhid_unplug u;
  DWORD t0 = GetTickCount();
  u.slot = index;
  if (!request(h, IOCTL_VHID_UNPLUG, &u, sizeof(u), NULL, 0, UNPLUG_WAIT_MS)) {
    printf("error: slot %lu was not removed (error %lu)\n", index, GetLastError());
    return;
  }
  slots[index].plugged = FALSE;
  printf("ok ms=%lu\n", GetTickCount() - t0);
}

static void plug(HANDLE h, char *args) {
  struct vhid_plug p;
  unsigned long index, vid, pid, length, reportId;
  struct slot *s = slot_arg(strtok(args, " \t"), &index);
  char *product;
  if (!s) return;
  if (!number(strtok(NULL, " \t"), 0xffff, &vid) || !number(strtok(NULL, " \t"), 0xffff, &pid) ||
      !number(strtok(NULL, " \t"), VHID_MAX_REPORT, &length) || length < 2 ||
      !number(strtok(NULL, " \t"), 255, &reportId)) {
    printf("error: usage: plug SLOT VID PID LENGTH REPORTID [PRODUCT]\n");
    return;
  }
  product = strtok(NULL, "");
  memset(&p, 0, sizeof(p));
  p.slot = index;
  p.vid = (USHORT)vid;
  p.pid = (USHORT)pid;
  p.version = 0x0100;
  p.desc_len = make_descriptor(p.desc, length, reportId);
  MultiByteToWideChar(CP_ACP, 0, product ? product : "Virtual receiver", -1, p.product,
                      VHID_PRODUCT_LEN - 1);
  if (!request(h, IOCTL_VHID_PLUG, &p, sizeof(p), NULL, 0, 5000)) {
    printf("error: cannot plug slot %lu (error %lu)\n", index, GetLastError());
    return;
  }
  s->plugged = TRUE;
  s->length = length;
  s->reportId = reportId;
  printf("ok\n");
}

static void run(HANDLE h, char *line) {
  char *cmd = strtok(line, " \t");
  unsigned long index, value;
  UCHAR report[VHID_MAX_REPORT + 1];
  unsigned count = 0;
  char *arg;

  if (!strcmp(cmd, "plug")) {
    plug(h, strtok(NULL, ""));
  } else if (!strcmp(cmd, "unplug")) {
    if (slot_arg(strtok(NULL, " \t"), &index)) unplug(h, index);
  } else if (!strcmp(cmd, "send") || !strcmp(cmd, "press") || !strcmp(cmd, "raw")) {
    if (!slot_arg(strtok(NULL, " \t"), &index)) return;
    if (!strcmp(cmd, "press")) report[count++] = (UCHAR)slots[index].reportId;
    while ((arg = strtok(NULL, " \t")) != NULL) {
      if (!number(arg, 255, &value) || count == sizeof(report)) {
        printf("error: \"%s\" is not a byte, or too many bytes\n", arg);
        return;
      }
      report[count++] = (UCHAR)value;
    }
    if (!strcmp(cmd, "press")) {
      if (count < 2 || count > 3) {
        printf("error: usage: press SLOT CODE [REPEAT]\n");
        return;
      }
      report[3] = count == 3 ? report[2] : 0; /* code, marker, repeat */
      report[2] = 0x7F;
      count = 4;
    }
    if (!count) {
      printf("error: usage: %s SLOT BYTE...\n", cmd);
    } else if (!strcmp(cmd, "raw")) { /* exactly these bytes on the wire */
      struct vhid_input in;
      ULONG queued = 0;
      memset(&in, 0, sizeof(in));
      in.slot = index;
      in.len = count > VHID_MAX_REPORT ? VHID_MAX_REPORT : count;
      memcpy(in.data, report, in.len);
      if (!request(h, IOCTL_VHID_INPUT, &in, sizeof(in), &queued, sizeof(queued), 5000))
        printf("error: the device refused the report (error %lu)\n", GetLastError());
      else
        printf("ok queued=%lu\n", queued);
    } else {
      send_report(h, index, report, count);
    }
  } else if (!strcmp(cmd, "sleep")) {
    if (number(strtok(NULL, " \t"), 86400000, &value)) {
      Sleep(value);
      printf("ok\n");
    } else {
      printf("error: usage: sleep MS\n");
    }
  } else {
    printf("error: unknown command \"%s\"\n", cmd);
  }
}

static int serve(void) {
  char line[512];
  unsigned long i;
  HANDLE h = open_control(10000);
  if (h == INVALID_HANDLE_VALUE) {
    fprintf(stderr, "vhid-ctl: the virtual HID bus is not installed (vhid-ctl install)\n");
    return 1;
  }
  while (fgets(line, sizeof(line), stdin)) {
    char *start = line;
    line[strcspn(line, "\r\n")] = 0;
    while (*start == ' ' || *start == '\t') start++;
    if (!*start || *start == '#') continue; /* no answer, as in a script */
    run(h, start);
  }
  /* End of input: nothing stays plugged in after the controller. */
  for (i = 0; i < VHID_SLOTS; i++) {
    if (slots[i].plugged) unplug(h, i);
  }
  CloseHandle(h);
  return 0;
}

int main(int argc, char **argv) {
  setvbuf(stdout, NULL, _IONBF, 0);
  if (argc == 3 && !strcmp(argv[1], "install")) return install(argv[2]);
  if (argc == 2 && !strcmp(argv[1], "uninstall")) return uninstall();
  if (argc == 2 && !strcmp(argv[1], "serve")) return serve();
  fprintf(stderr, "usage: vhid-ctl install INF | uninstall | serve\n");
  return 2;
}
