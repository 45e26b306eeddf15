"""Sets an MSI's summary information to fixed values: its creation and last-saved times and its
package code. It goes through msitools' own library, libmsi, which wixl builds the MSI with.

    msi_summary.py MSI EPOCH PACKAGE_CODE
"""
import ctypes
import sys

CREATED, LAST_SAVED, PACKAGE_CODE = 12, 13, 9
TRANSACT = 1 << 2
# FILETIME counts 100-nanosecond steps since 1601.
FILETIME_OF_1970 = 11644473600 * 10**7


def library():
    lib = ctypes.CDLL("libmsi.so.0")
    error = ctypes.POINTER(ctypes.c_void_p)
    handle = ctypes.c_void_p
    lib.libmsi_database_new.restype = handle
    lib.libmsi_database_new.argtypes = [ctypes.c_char_p, ctypes.c_uint, ctypes.c_char_p, error]
    lib.libmsi_summary_info_new.restype = handle
    lib.libmsi_summary_info_new.argtypes = [handle, ctypes.c_uint, error]
    lib.libmsi_summary_info_set_filetime.argtypes = [handle, ctypes.c_int, ctypes.c_uint64, error]
    lib.libmsi_summary_info_set_string.argtypes = [handle, ctypes.c_int, ctypes.c_char_p, error]
    lib.libmsi_summary_info_persist.argtypes = [handle, error]
    lib.libmsi_database_commit.argtypes = [handle, error]
    lib.g_object_unref.argtypes = [handle]
    return lib


def main():
    path, epoch, package_code = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    lib = library()
    error = ctypes.byref(ctypes.c_void_p())
    database = lib.libmsi_database_new(path.encode(), TRANSACT, None, error)
    summary = database and lib.libmsi_summary_info_new(database, 3, error)
    filetime = FILETIME_OF_1970 + epoch * 10**7
    steps = (
        lambda: lib.libmsi_summary_info_set_filetime(summary, CREATED, filetime, error),
        lambda: lib.libmsi_summary_info_set_filetime(summary, LAST_SAVED, filetime, error),
        lambda: lib.libmsi_summary_info_set_string(summary, PACKAGE_CODE, package_code.encode(),
                                                   error),
        lambda: lib.libmsi_summary_info_persist(summary, error),
        lambda: lib.libmsi_database_commit(database, error))
    done = bool(summary) and all(step() for step in steps)
    for handle in (summary, database):
        if handle:
            lib.g_object_unref(handle)
    if not done:
        print("cannot set the summary information of %s" % path, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
