'''A stand-in for the udisks2 service, as a python-dbusmock template.

    Parameters(JSON)
    : {
          "disks" : [ {
              "name" : "sdq",
              "image" : "/path/store.img",
              "vendor" : "...",
              "model" : "...",
              "bus" : "usb",
              "removable" : true,
              "system" : false,
              "ignore" : false,
              "refuse" : false,
              "stuck" : false,
              "mount" : "/some/dir"
          } ]
      }
          .Each disk is a whole
    - disk block device / dev / <name> on a drive; OpenDevice
hands out a descriptor of its image file (or refuses as polkit would when
"refuse" is set), Filesystem.Unmount clears its mount point, Drive.PowerOff
takes the drive and its block device away as a stick that goes off leaves
(or fails when "stuck" is set). Every call is written to the log
(python3 -m dbusmock -l FILE) as "CALL <method> <object> <argument>".
'''

import os

import dbus
from dbusmock.mockobject import objects

BUS_NAME = 'org.freedesktop.UDisks2'
MAIN_OBJ = '/org/freedesktop/UDisks2'
SYSTEM_BUS = True
IS_OBJECT_MANAGER = True

BLOCK = 'org.freedesktop.UDisks2.Block'
DRIVE = 'org.freedesktop.UDisks2.Drive'
FILESYSTEM = 'org.freedesktop.UDisks2.Filesystem'


def path_bytes(text):
    return dbus.Array(list(text.encode() + b'\0'), signature='y')


def mount_points(points):
    return dbus.Array([path_bytes(p) for p in points], signature='ay')


def open_device(image, refuse):
    def call(self, mode, _options):
        self.log(f'CALL OpenDevice {self.path} {mode}')
        if refuse:
            raise dbus.exceptions.DBusException(
                'Not authorized to perform operation',
                name='org.freedesktop.UDisks2.Error.NotAuthorizedCanObtain')
        flags = {'r': os.O_RDONLY, 'w': os.O_WRONLY, 'rw': os.O_RDWR}[mode]
        fd = os.open(image, flags)
        try:
            return dbus.types.UnixFd(fd)
        finally:
            os.close(fd)
    return call


def unmount(self, _options):
    self.log(f'CALL Unmount {self.path}')
    self.props[FILESYSTEM]['MountPoints'] = mount_points([])


def power_off(block, stuck):
    def call(self, _options):
        self.log(f'CALL PowerOff {self.path}')
        if stuck:
            raise dbus.exceptions.DBusException(
                'Error powering off drive: device is busy',
                name='org.freedesktop.UDisks2.Error.Failed')
        for path in (block, self.path):
            objects[path].remove_from_connection()
            del objects[path]
    return call


def load(mock, parameters):
    for disk in parameters.get('disks', []):
        name = disk['name']
        drive = f'{MAIN_OBJ}/drives/{name}'
        block = f'{MAIN_OBJ}/block_devices/{name}'
        size = os.path.getsize(disk['image'])
        mock.AddObject(drive, DRIVE, {
            'Vendor': disk.get('vendor', ''),
            'Model': disk.get('model', ''),
            'Serial': disk.get('serial', ''),
            'ConnectionBus': disk.get('bus', 'usb'),
            'Removable': dbus.Boolean(disk.get('removable', True)),
            'MediaRemovable': dbus.Boolean(disk.get('removable', True)),
            'MediaAvailable': dbus.Boolean(True),
            'MediaCompatibility': dbus.Array([], signature='s'),
            'Size': dbus.UInt64(size),
        }, [('PowerOff', 'a{sv}', '', power_off(block, disk.get('stuck', False)))])
        mock.AddObject(block, BLOCK, {
            'Device': path_bytes('/dev/' + name),
            'PreferredDevice': path_bytes('/dev/' + name),
            'Symlinks': mount_points([]),
            'Size': dbus.UInt64(size),
            'Drive': dbus.ObjectPath(drive),
            'HintSystem': dbus.Boolean(disk.get('system', False)),
            'HintIgnore': dbus.Boolean(disk.get('ignore', False)),
            'ReadOnly': dbus.Boolean(False),
        }, [('OpenDevice', 'sa{sv}', 'h', open_device(disk['image'], disk.get('refuse', False)))])
        obj = objects[block]
        points = [disk['mount']] if disk.get('mount') else []
        obj.AddProperties(FILESYSTEM, {'MountPoints': mount_points(points)})
        obj.AddMethods(FILESYSTEM, [('Unmount', 'a{sv}', '', unmount)])
