# The Debian package, made by `cpack` in a build tree (tools/package): what
# the install() rules put under the prefix, installed under /usr, with its
# Depends worked out by dpkg-shlibdeps from every ELF file in it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME voicenotes)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VOICENOTES_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "record spoken notes and play them back")
# Lines as the control file shows them, under 80 columns.
set(CPACK_PACKAGE_DESCRIPTION "Voice Notes records spoken notes from the microphone and lists them with
coloured icons, newest first. A click plays a note back with a progress ring
and a position slider. Notes can be renamed, given a colour, a text and an
alert date that raises an alert when it falls due, and sent to an FTP server,
encrypted with TLS whenever the server offers it.

The voicenotes command lists, records, plays and sends the same notes from
scripts.")

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Found at run time only, so dpkg-shlibdeps cannot see them. ALSA's
# default device reaches PulseAudio or PipeWire, as desktops run them,
# through libasound2-plugins; without it sound goes straight to the
# hardware. The system's authorities check FTP servers' certificates;
# without them every certificate is offered for trust by its key.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libasound2-plugins, ca-certificates")
# Announcing and finding machines on the local network need the Avahi
# daemon; everything else works without it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "avahi-daemon")

include(CPack)
