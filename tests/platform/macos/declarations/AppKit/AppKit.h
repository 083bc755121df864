// Stand-in for the framework header, for the syntax-only check of the macOS
// backend on other systems (scripts/check-macos). Only what the backend
// uses, written from Apple's documented signatures, deprecations included
// (the build treats their warnings as errors); nothing links to it.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

typedef signed char BOOL;
typedef unsigned long NSUInteger;
#define nil nullptr

__attribute__((objc_root_class))
@interface NSObject
@end

@interface NSString : NSObject
+ (nullable instancetype)stringWithUTF8String:(const char* _Nonnull)nullTerminatedCString;
@end

typedef NSUInteger NSApplicationActivationOptions;
enum : NSUInteger {
  NSApplicationActivateAllWindows = 1 << 0,
  NSApplicationActivateIgnoringOtherApps __attribute__((deprecated("ignored since macOS 14"))) = 1 << 1,
};

@interface NSRunningApplication : NSObject
@property(readonly, getter=isTerminated) BOOL terminated;
+ (nullable instancetype)runningApplicationWithProcessIdentifier:(pid_t)pid;
- (BOOL)activateWithOptions:(NSApplicationActivationOptions)options;
@end

@interface NSWorkspace : NSObject
@property(class, readonly, strong, nonnull) NSWorkspace* sharedWorkspace;
- (BOOL)launchApplication:(nonnull NSString*)appName
    __attribute__((deprecated("use openApplicationAtURL:configuration:completionHandler:")));
@end
