/* hcdrv32: the camera driver library.
 *
 * Every operation returns a signed 16-bit status: 0 done, HC_STOPPED when a
 * callback asked to stop, another negative value for a failure. Records that
 * hold no pointer keep a fixed byte layout; records with pointers keep their
 * field order, so their size follows the pointer size of the build. */
#ifndef HCDRV32_H
#define HCDRV32_H

#include <windows.h>

#include <stdint.h>

#ifdef HCDRV32_BUILD
#define HCAPI __declspec(dllexport) int16_t WINAPI
#else
#define HCAPI __declspec(dllimport) int16_t WINAPI
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Statuses. */
#define HC_OK 0
#define HC_INVALID_PARAMETER (-1000)
#define HC_CLOSE_FAILED (-1001)
#define HC_CAMERA_NOT_FOUND (-1002)  /* nothing answered when the camera was opened */
#define HC_NOT_SUPPORTED (-1003)     /* not for the camera type that is open */
#define HC_STOPPED (-1004)           /* a callback returned 0 */
#define HC_NO_CARD (-1005)
#define HC_NO_ANSWER (-1006)         /* the camera stopped answering */
#define HC_IMAGE_PROCESSING (-1009)  /* the picture data is damaged */
#define HC_INCOMPATIBLE_FIRMWARE (-1010)
#define HC_OUT_OF_MEMORY (-1011)
#define HC_NOT_OPEN (-1013)
#define HC_NOT_IN_ROM_MODE (-1014)
#define HC_ALREADY_OPEN (-1016)
#define HC_IN_ROM_MODE (-1017)
#define HC_ALREADY_IN_ROM_MODE (-1018)
#define HC_INCOMPATIBLE (-1019)      /* the camera is of another type, or speaks another protocol */
#define HC_SYSTEM_ERROR (-1020)
#define HC_CAMERA_HOLDS_PICTURES (-1021)
#define HC_MEMORY_FULL (-1022)
#define HC_UNKNOWN_CAMERA_TYPE (-1023)
#define HC_NOT_SUPPORTED_BY_SYSTEM (-1024)
#define HC_CANNOT_LOAD (-1025)

#define HC_DRIVER_VERSION 0x0100

/* Camera types. Type 0 opens no port: only native data in memory. */
#define HC_TYPE_NATIVE 0
#define HC_TYPE_AVENA 100
#define HC_TYPE_BELVA 101
#define HC_TYPE_CIRRA 104

#define HC_LOCATION_MEMORY 0
#define HC_LOCATION_CARD 1
#define HC_ALL_PICTURES (-1)

/* Filled by HcOpenDriver; zero it before. */
typedef struct HcDriverBlock {
  uint8_t opaque[20];
} HcDriverBlock;

typedef struct HcCameraDescriptor {
  HcDriverBlock* driver;
  int32_t port;         /* COM port number */
  int32_t camera_type;  /* HC_TYPE_... */
  uint8_t* buffer;      /* 33 zeroed bytes, kept unchanged while the camera is open */
  int32_t reserved1;    /* 0 */
  int32_t reserved2;    /* 0 */
  int32_t bit_rate;     /* hundreds of baud: 96, 192, 384, 576, 1152, 2304 */
} HcCameraDescriptor;

typedef struct HcCaptureDate {
  int16_t second, minute, hour, day;
  int16_t month; /* from 0 */
  int16_t year;  /* since 1900 */
} HcCaptureDate;

/* Zero it before each fill. With the thumbnail flag the caller's buffer at
 * thumbnail receives thumb_width x thumb_height pixels, bottom row first,
 * blue-green-red, rows not padded. */
typedef struct HcPictureInfo {
  int16_t picture;  /* set by the driver: the picture it describes */
  int16_t thumb_width;
  int16_t thumb_height;
  int16_t reserved6;
  uint8_t* thumbnail;
  int32_t width;
  int32_t height;
  uint32_t native_size;  /* bytes of the native file */
  uint32_t input_size;   /* bytes the decoding calls need as input */
  uint32_t output_size;  /* width x height x 3 */
  HcCaptureDate date;
  int16_t location;      /* set by the driver */
  int16_t album;         /* set by the driver */
  int32_t reserved48;
} HcPictureInfo;

/* Per-model details. Flash 0 or 1; F-number times ten; brightness plus
 * 1,005; names zero-terminated. */
typedef struct HcAvenaDetails {
  int32_t exposure_us;
  int32_t flash;
  int16_t fnumber_x10;
  int16_t reserved10;
  char picture_name[16];
} HcAvenaDetails;

typedef struct HcBelvaDetails {
  int32_t reserved0;
  int32_t flash;
  int32_t reserved8;
  int32_t reserved12;
  int32_t zoom_position;
  int32_t reserved20;
  int32_t exposure_us;
  int16_t fnumber_x10;
  int16_t reserved30;
  int32_t reserved32[4];
  int32_t subject_distance_mm;
  int16_t brightness;
  int16_t reserved54;
  int16_t reserved56;
  char picture_name[16];
  int16_t reserved74;
} HcBelvaDetails;

typedef struct HcCirraDetails {
  int32_t reserved0;
  int32_t flash;
  int32_t reserved8;
  int32_t reserved12;
  int32_t zoom_position;
  int32_t reserved20;
  int32_t exposure_us;
  int16_t fnumber_x10;
  int16_t reserved30;
  int32_t reserved32[3];
  int32_t subject_distance_mm;
  int16_t brightness;
  int16_t reserved50;
  char picture_name[16];
} HcCirraDetails;

typedef union HcModelDetails {
  HcAvenaDetails avena;
  HcBelvaDetails belva;
  HcCirraDetails cirra;
  uint8_t bytes[76];
} HcModelDetails;

typedef struct HcMemorySource {
  const void* data;
  uint32_t size;
  int32_t reserved1; /* 0 */
  int32_t reserved2; /* 0 */
} HcMemorySource;

/* Return 1 to go on, 0 to stop. The image callback gets blocks of whole rows
 * of fewer than 65,536 bytes; user is the window of the record that holds it. */
typedef int32_t(CALLBACK* HcImageCallback)(const void* block, void* user, uint32_t bytes);
typedef int32_t(CALLBACK* HcProgressCallback)(void* user, int32_t percent);

typedef struct HcTransferBuffer {
  void* data;
  uint32_t size; /* capacity; after a native download, the bytes written */
  HcImageCallback callback;
  void* window;
} HcTransferBuffer;

typedef struct HcCallbackPair {
  HcProgressCallback progress;
  void* window;
} HcCallbackPair;

/* Status records. */
typedef struct HcStatusRecord {
  int32_t camera_type;
  int32_t firmware;
  int32_t bit_rate;        /* hundreds of baud in use */
  int32_t card_present;
  int32_t memory_full;
  int32_t memory_free_kb;
  int32_t card_free_kb;
  int16_t memory_pictures; /* +28 */
  int16_t reserved30;
  int16_t card_pictures;   /* +32 */
  int16_t reserved34;
  int32_t memory_capacity_kb;
  int32_t card_capacity_kb;
  int32_t reserved44;
} HcStatusRecord;

typedef struct HcModelStatusRecord {
  int32_t camera_type;
  int32_t memory_root_pictures;
  int32_t card_root_pictures;
  int32_t reserved12[5];
  int16_t memory_albums;  /* +32, named albums */
  int16_t reserved34;
  int32_t memory_pictures;
  int32_t reserved40;
  int16_t card_albums;    /* +44 */
  int16_t reserved46;
  int32_t card_pictures;
  int32_t reserved52[3];
} HcModelStatusRecord;

/* HcAlbumGetAllName fills named-albums + 1 entries; entry 0 is the root. */
typedef struct HcAlbumEntry {
  char name[16];
  int32_t picture_count;
} HcAlbumEntry;

#define HC_NAME_SLOT 15 /* HcAlbumGetPictureName: one slot per picture, zero padded */

/* Row order of decoded pictures: (1, 0) bottom row first, blue-green-red;
 * (1, 2) top row first, each row's bytes reversed (reversed back, a row reads
 * red-green-blue from left to right). */
typedef struct HcImageProcessingRecord {
  int32_t colour;    /* 1: 24-bit colour */
  int32_t row_order; /* 0 or 2 */
  int32_t reserved8;
  int32_t reserved12;
} HcImageProcessingRecord;

HCAPI HcOpenDriver(const uint16_t* version, HcDriverBlock* block);
HCAPI HcCloseDriver(HcDriverBlock* block);
HCAPI HcOpenCamera(HcCameraDescriptor* cam);
HCAPI HcCloseCamera(HcCameraDescriptor* cam);
HCAPI HcGetStatus(HcCameraDescriptor* cam, HcStatusRecord* status, HcModelStatusRecord* model_status);
HCAPI HcAlbumGetAllName(HcCameraDescriptor* cam, int32_t location, HcAlbumEntry* entries);
HCAPI HcAlbumGetPictureName(HcCameraDescriptor* cam, int32_t location, int32_t album, char* slots);
HCAPI HcGetCameraPictInfo(HcCameraDescriptor* cam, int32_t location, int32_t album, int32_t picture,
                          int32_t thumbnail, HcPictureInfo* info, HcModelDetails* details);
HCAPI HcGetNativePictInfo(HcCameraDescriptor* cam, const HcMemorySource* source, int32_t thumbnail,
                          HcPictureInfo* info, HcModelDetails* details);
HCAPI HcGetNativeCameraType(HcCameraDescriptor* cam, const HcMemorySource* source, int32_t* camera_type);
HCAPI HcGetNativePicture(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                         HcTransferBuffer* out, const HcCallbackPair* callbacks);
HCAPI HcGetCameraPicture(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                         HcTransferBuffer* in, HcTransferBuffer* out, const HcCallbackPair* callbacks);
HCAPI HcProcNativePicture(HcCameraDescriptor* cam, HcPictureInfo* info, HcTransferBuffer* in,
                          HcTransferBuffer* out, const HcCallbackPair* callbacks);
HCAPI HcGetCameraPictureAsJPEG(HcCameraDescriptor* cam, int32_t location, int32_t album, HcPictureInfo* info,
                               int32_t quality_index, int32_t* length, HcTransferBuffer* in,
                               HcTransferBuffer* out, const HcCallbackPair* callbacks);
HCAPI HcProcNativePictureAsJPEG(HcCameraDescriptor* cam, HcPictureInfo* info, int32_t quality_index,
                                int32_t* length, HcTransferBuffer* in, HcTransferBuffer* out,
                                const HcCallbackPair* callbacks);
HCAPI HcGetImageProcessing(HcCameraDescriptor* cam, HcImageProcessingRecord* record);
HCAPI HcSetImageProcessing(HcCameraDescriptor* cam, const HcImageProcessingRecord* record);
HCAPI HcDeletePicture(HcCameraDescriptor* cam, int32_t location, int32_t album, int32_t picture);

/* Not part of the camera interface: the link's speed and counters of the
 * open camera, for tools and benchmarks. Pass NULL for what is not wanted. */
typedef struct HcLinkStats {
  uint32_t baud;
  uint32_t frames_sent;
  uint32_t retransmits;
  uint32_t rerequested_bytes;
  uint32_t bad_frames;
  uint32_t recoveries;
} HcLinkStats;
HCAPI HcGetLinkStats(HcCameraDescriptor* cam, HcLinkStats* stats);

#ifdef __cplusplus
}
#endif

#endif
