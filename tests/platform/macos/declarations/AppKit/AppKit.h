// Stand-in for the framework header, for the syntax-only check of the macOS
// backend on other systems (scripts/check-macos). Only what the backend
// uses, written from Apple's documented signatures, deprecations included
// (the build treats their warnings as errors); nothing links to it.
#pragma once

#include <CoreGraphics/CoreGraphics.h>

typedef signed char BOOL;
#define YES ((BOOL)1)
#define NO ((BOOL)0)
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

@interface NSURL : NSObject
@end

@interface NSError : NSObject
@end

@interface NSRunningApplication : NSObject
@property(readonly, getter=isTerminated) BOOL terminated;
@property(readonly, copy, nullable) NSURL* bundleURL;
+ (nullable instancetype)runningApplicationWithProcessIdentifier:(pid_t)pid;
- (BOOL)activateWithOptions:(NSApplicationActivationOptions)options;
@end

__attribute__((availability(macos, introduced = 10.15)))
@interface NSWorkspaceOpenConfiguration : NSObject
+ (nonnull instancetype)configuration;
@property BOOL activates;
@end

@interface NSWorkspace : NSObject
@property(class, readonly, strong, nonnull) NSWorkspace* sharedWorkspace;
- (void)openApplicationAtURL:(nonnull NSURL*)applicationURL
               configuration:(nonnull NSWorkspaceOpenConfiguration*)configuration
           completionHandler:(void (^_Nullable)(NSRunningApplication* _Nullable app,
                                                NSError* _Nullable error))completionHandler
    __attribute__((availability(macos, introduced = 10.15)));
@end
