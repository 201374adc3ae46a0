# OpenCV's core and imgproc modules, the only ones the engine uses, as the
# imported target OpenCV::imgproc. Debian's per-module -dev packages ship no
# CMake package of their own, and the MinGW builds link static archives
# from the Windows dependency prefix: both are found by path here.
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
find_library(OPENCV_CORE_LIBRARY NAMES opencv_core opencv_core460 REQUIRED)
find_library(OPENCV_IMGPROC_LIBRARY NAMES opencv_imgproc opencv_imgproc460 REQUIRED)
if(NOT TARGET OpenCV::imgproc)
  add_library(OpenCV::core UNKNOWN IMPORTED)
  set_target_properties(OpenCV::core PROPERTIES IMPORTED_LOCATION "${OPENCV_CORE_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OPENCV_INCLUDE_DIR}")
  add_library(OpenCV::imgproc UNKNOWN IMPORTED)
  set_target_properties(OpenCV::imgproc PROPERTIES IMPORTED_LOCATION "${OPENCV_IMGPROC_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${OPENCV_INCLUDE_DIR}" INTERFACE_LINK_LIBRARIES OpenCV::core)
  if(WIN32)
    # Static archives: core's own needs follow it.
    set_property(TARGET OpenCV::core APPEND PROPERTY INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
  endif()
endif()
