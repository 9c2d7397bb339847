// Owning handles for HarfBuzz objects: each destroys its object when it goes out of scope.
#pragma once

#include <hb.h>

#include <memory>

namespace glyphmill {

template <typename T, void (*Destroy)(T*)>
struct HbDeleter {
  void operator()(T* p) const { Destroy(p); }
};
using HbBlobPtr = std::unique_ptr<hb_blob_t, HbDeleter<hb_blob_t, hb_blob_destroy>>;
using HbFacePtr = std::unique_ptr<hb_face_t, HbDeleter<hb_face_t, hb_face_destroy>>;
using HbFontPtr = std::unique_ptr<hb_font_t, HbDeleter<hb_font_t, hb_font_destroy>>;
using HbBufferPtr = std::unique_ptr<hb_buffer_t, HbDeleter<hb_buffer_t, hb_buffer_destroy>>;
using HbSetPtr = std::unique_ptr<hb_set_t, HbDeleter<hb_set_t, hb_set_destroy>>;

}  // namespace glyphmill
