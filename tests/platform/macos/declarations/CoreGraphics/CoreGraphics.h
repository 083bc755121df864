// Stand-in for the framework header, for the syntax-only check of the macOS
// backend on other systems (scripts/check-macos). Only what the backend
// uses, written from Apple's documented signatures; nothing links to it.
// A call the backend makes that is missing or mistyped here fails the check:
// keep this in step with the documentation, not with the code.
#pragma once

#include <stdbool.h>
#include <stdint.h>
#include <sys/types.h>

extern "C" {

// Core Foundation
typedef unsigned char Boolean;
typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef const void* CFTypeRef;
typedef const struct __CFString* CFStringRef;
typedef const struct __CFDictionary* CFDictionaryRef;
typedef const struct __CFArray* CFArrayRef;
typedef const struct __CFNumber* CFNumberRef;
typedef const struct __CFBoolean* CFBooleanRef;
// CF_ENUM types are enumerations of their own in C++; CF_OPTIONS types are
// plain integers, so that options combine.
typedef uint32_t CFStringEncoding;
enum CFStringBuiltInEncodings : CFStringEncoding { kCFStringEncodingUTF8 = 0x08000100 };
enum CFNumberType : CFIndex { kCFNumberIntType = 9, kCFNumberLongLongType = 11, kCFNumberDoubleType = 13 };

void CFRelease(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);
CFTypeID CFStringGetTypeID(void);
CFTypeID CFNumberGetTypeID(void);
CFTypeID CFDictionaryGetTypeID(void);
CFTypeID CFBooleanGetTypeID(void);
const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key);
CFIndex CFArrayGetCount(CFArrayRef theArray);
const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);
CFIndex CFStringGetLength(CFStringRef theString);
CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding);
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);
Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr);
Boolean CFBooleanGetValue(CFBooleanRef boolean);

// Geometry
typedef double CGFloat;
struct CGPoint { CGFloat x; CGFloat y; };
struct CGSize { CGFloat width; CGFloat height; };
struct CGRect { CGPoint origin; CGSize size; };
typedef struct CGPoint CGPoint;
typedef struct CGSize CGSize;
typedef struct CGRect CGRect;
CGPoint CGPointMake(CGFloat x, CGFloat y);
bool CGRectMakeWithDictionaryRepresentation(CFDictionaryRef dict, CGRect* rect);
CGFloat CGRectGetMinX(CGRect rect);
CGFloat CGRectGetMinY(CGRect rect);
CGFloat CGRectGetWidth(CGRect rect);
CGFloat CGRectGetHeight(CGRect rect);

// Displays
enum CGError : int32_t { kCGErrorSuccess = 0 };
typedef uint32_t CGDirectDisplayID;
CGError CGGetDisplaysWithPoint(CGPoint point, uint32_t maxDisplays, CGDirectDisplayID* displays,
                               uint32_t* matchingDisplayCount);

// Window list
typedef uint32_t CGWindowID;
#define kCGNullWindowID ((CGWindowID)0)
typedef uint32_t CGWindowListOption;
enum : CGWindowListOption {
  kCGWindowListOptionAll = 0,
  kCGWindowListOptionOnScreenOnly = (1 << 0),
  kCGWindowListOptionOnScreenAboveWindow = (1 << 1),
  kCGWindowListOptionOnScreenBelowWindow = (1 << 2),
  kCGWindowListOptionIncludingWindow = (1 << 3),
  kCGWindowListExcludeDesktopElements = (1 << 4),
};
CFArrayRef CGWindowListCopyWindowInfo(CGWindowListOption option, CGWindowID relativeToWindow);
extern const CFStringRef kCGWindowNumber;
extern const CFStringRef kCGWindowLayer;
extern const CFStringRef kCGWindowBounds;
extern const CFStringRef kCGWindowOwnerPID;
extern const CFStringRef kCGWindowOwnerName;
extern const CFStringRef kCGWindowAlpha;
extern const CFStringRef kCGWindowIsOnscreen;

// Events
typedef struct __CGEvent* CGEventRef;
typedef struct __CGEventSource* CGEventSourceRef;
typedef uint16_t CGKeyCode;
enum CGEventSourceStateID : int32_t {
  kCGEventSourceStatePrivate = -1,
  kCGEventSourceStateCombinedSessionState = 0,
  kCGEventSourceStateHIDSystemState = 1,
};
enum CGEventType : uint32_t { kCGEventLeftMouseDown = 1, kCGEventLeftMouseUp = 2 };
enum CGMouseButton : uint32_t { kCGMouseButtonLeft = 0 };
enum CGEventTapLocation : uint32_t { kCGHIDEventTap = 0 };
typedef uint64_t CGEventFlags;
enum : CGEventFlags { kCGEventFlagMaskSecondaryFn = 0x00800000 };
CGEventSourceRef CGEventSourceCreate(CGEventSourceStateID stateID);
CGEventRef CGEventCreateMouseEvent(CGEventSourceRef source, CGEventType mouseType, CGPoint mouseCursorPosition,
                                   CGMouseButton mouseButton);
CGEventRef CGEventCreateKeyboardEvent(CGEventSourceRef source, CGKeyCode virtualKey, bool keyDown);
void CGEventSetFlags(CGEventRef event, CGEventFlags flags);
void CGEventPost(CGEventTapLocation tap, CGEventRef event);
void CGEventPostToPid(pid_t pid, CGEventRef event);
__attribute__((availability(macos, introduced = 10.15))) bool CGPreflightPostEventAccess(void);
__attribute__((availability(macos, introduced = 10.15))) bool CGRequestPostEventAccess(void);

}  // extern "C"
