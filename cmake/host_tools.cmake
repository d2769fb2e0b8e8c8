# Programs of the Windows build that run on the build machine, built there
# with its own compiler as a project of their own: tovalen-rcgen, which writes
# the dialog resources, and the Linux camera simulator, which plays the
# cameras for the tests of tovalen.exe under Wine (each camera in a network
# namespace of its own, where a Windows program would need a wine server each).
include(ExternalProject)

set(TOVALEN_HOST_DIR ${CMAKE_BINARY_DIR}/host)
set(TOVALEN_HOST_RCGEN ${TOVALEN_HOST_DIR}/tools/rcgen/tovalen-rcgen)
set(TOVALEN_HOST_CAMERA ${TOVALEN_HOST_DIR}/tools/camera/tovalen-camera)
ExternalProject_Add(host_tools
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${TOVALEN_HOST_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOVALEN_QT=OFF -DTOVALEN_TESTS=OFF
  # $(MAKE) shares the outer build's jobs.
  BUILD_COMMAND $(MAKE) tovalen-rcgen tovalen-camera
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${TOVALEN_HOST_RCGEN} ${TOVALEN_HOST_CAMERA}
)
