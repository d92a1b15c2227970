#!/bin/busybox sh
# The board's first process in the QEMU system run (tools/test-device): it
# gives the device build what the device's own system gives it, then takes
# commands from the host on the second serial line, one a line, and answers
# each with one line (the answer after the arrow):
#   start         start /bin/kestrel as the active UI process -> "started PID"
#   touch REC     write the 8-byte record REC (printf octal escapes) into
#   remote REC    /dev/ts or /dev/remote, then let the program finish two
#                 more passes, so it has read it and drawn what it does -> "ok"
#   passes N      wait for N passes of the program -> "ok"
#   report        the program's memory from /proc -> "report ..."
#   exit          wait for the program to end -> "exit STATUS"
#   stop          SIGTERM, then wait -> "exit STATUS"
# A pass is one sleep of the program's event loop: its voluntary context
# switches. Lines starting "kestrel-device:" on the console are for the log.
/bin/busybox --install -s /bin
export PATH=/bin

mkdir -p /.kernelproc /proc /sys /dev /var/run /tmp
mount -t proc proc /.kernelproc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs run /var/run
mount -t tmpfs tmp /tmp

say() { echo "kestrel-device: $*" > /dev/console; }

# The kernel has no /proc/corvina: a tmpfs stands in for /proc, with every
# entry of the kernel's own /proc linked into it, and the device's model
# number in corvina/modelid. Process entries are there for the processes
# that exist now; this script reads the program's from /.kernelproc.
model=27
for word in $(cat /.kernelproc/cmdline); do
  case $word in kestrel.model=*) model=${word#kestrel.model=} ;; esac
done
mount -t tmpfs -o mode=0555 procstandin /proc
for entry in /.kernelproc/*; do ln -s "$entry" "/proc/${entry##*/}"; done
mkdir /proc/corvina
echo "$model" > /proc/corvina/modelid

# The display, and FIFOs in place of the touch screen's and the remote's
# drivers, held open read-write here so that the program may open and close
# them freely.
ln -s fb0 /dev/fb
mkfifo /dev/ts /dev/remote
exec 3<>/dev/ts 4<>/dev/remote
# The kernel's framebuffer console would draw its cursor over the picture;
# the device's own system has none.
for bind in /sys/class/vtconsole/vtcon*/bind; do
  if grep -q "frame buffer" "${bind%/bind}/name"; then echo 0 > "$bind"; fi
done
# A black screen for the program to start on (the write ends at the end of
# the framebuffer).
cat /dev/zero > /dev/fb0 2>/dev/null

say "model $model, framebuffer $(cat /sys/class/graphics/fb0/virtual_size 2>/dev/null)" \
    "at $(cat /sys/class/graphics/fb0/bits_per_pixel 2>/dev/null) bits, line" \
    "$(cat /sys/class/graphics/fb0/stride 2>/dev/null) bytes"

# The device's master UI process: it makes the registry of the active UI
# process (one 32-bit integer, in the processor's byte order) and writes the
# program's id into it when it starts the program, which opens it as a slave.
registry=/var/run/uipidshm
printf '\000\000\000\000' > $registry
set_active() {
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))" |
    dd of=$registry bs=4 count=1 conv=notrunc 2>/dev/null
}

pid=
passes() {
  sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "/.kernelproc/$pid/status" 2>/dev/null
}
# Waits until the program has slept N more times, or has ended.
wait_passes() {
  local from now
  from=$(passes)
  while now=$(passes) && [ -n "$now" ] && [ "$now" -lt $((from + $1)) ]; do usleep 10000; done
}

stty -F /dev/ttyAMA1 raw -echo
exec 5<>/dev/ttyAMA1
say "ready after $(cut -d' ' -f1 /.kernelproc/uptime) s"
while read -r command argument <&5; do
  case $command in
    start)
      /bin/kestrel > /dev/console 2>&1 &
      pid=$!
      set_active "$pid"
      say "started kestrel, pid $pid, at $(cut -d' ' -f1 /.kernelproc/uptime) s"
      echo "started $pid" >&5 ;;
    touch | remote)
      if [ "$command" = touch ]; then printf "$argument" >&3; else printf "$argument" >&4; fi
      wait_passes 2
      echo ok >&5 ;;
    passes)
      wait_passes "$argument"
      echo ok >&5 ;;
    report)
      figures=$(grep -E '^(VmHWM|VmRSS|RssAnon|RssFile|RssShmem):' "/.kernelproc/$pid/status" | tr -s ' \t' ' ' | tr '\n' ' ')
      say "memory of kestrel: $figures"
      echo "report $figures" >&5 ;;
    exit | stop)
      if [ "$command" = stop ]; then kill -TERM "$pid"; fi
      wait "$pid"
      status=$?
      say "kestrel ended with status $status"
      echo "exit $status" >&5 ;;
    *)
      echo "unknown $command" >&5 ;;
  esac
done
poweroff -f
