namespace tessevar {}
