Message folders Outlook Express wrote (../shared/fixtures/real/oe-dbx): export-mail writes the
same messages as undbx, byte for byte, and as many; with --recover, those undbx --recover finds
too (a message left by the mail client's compaction, whose blocks name where they were).

  $ real=$FIXTURES/oe-dbx
  $ test -d "$real" || { echo "the message folders of $FIXTURES are not here (no ../shared beside the clone)"; exit 80; }
  $ digests() { find "$1" -name '*.eml' -type f -exec sha256sum {} + | cut -c1-64 | sort; }
  $ mkdir store && cp "$real"/*.dbx store/
  $ "$CLI" export-mail store out | sed -n 1,3p
  Courrier écrit dans « out » : 2 dossier(s), 2 message(s), en mbox (dossier « mbox ») et en .eml (dossier « eml »).
    mtdbx-test : 1 message(s)
    mtdbx-test1 : 1 message(s)
  $ undbx store undbx >/dev/null 2>&1; test "$(digests out)" = "$(digests undbx)" && digests out | wc -l
  2
  $ "$CLI" export-mail store recovered --recover | sed -n 2p
    mtdbx-test : 2 message(s), dont 1 retrouvé(s) hors de l'index, écrit(s) à part
  $ undbx --recover store undbx-r >/dev/null 2>&1; test "$(digests recovered)" = "$(digests undbx-r)" && digests recovered | wc -l
  3
  $ python3 -c 'import mailbox, sys; print(*(len(mailbox.mbox(f)) for f in sys.argv[1:]))' recovered/mbox/*
  1 1 1
