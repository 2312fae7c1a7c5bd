#!/usr/bin/perl
# Lists a Palm database as Debian's Palm::PDB reads it: the header fields,
# then one line per resource (type, id, size, data in hex) or, for a record
# database, the app info block and one line per record (id, category, size,
# data in hex). The tests compare this listing with what they built.
use strict;
use warnings;
use Palm::PDB;
use Palm::Raw;

# Every type and creator is read raw.
Palm::PDB::RegisterPRCHandlers("Palm::Raw", "");
Palm::PDB::RegisterPDBHandlers("Palm::Raw", "");

die "usage: list_pdb.pl FILE\n" unless @ARGV == 1;
my $pdb = Palm::PDB->new;
$pdb->Load($ARGV[0]);
print "name $pdb->{name}\n";
print "type $pdb->{type}\n";
print "creator $pdb->{creator}\n";
printf "resource-database %d\n", $pdb->{attributes}{resource} ? 1 : 0;
printf "version %d\n", $pdb->{version};
for my $r (@{ $pdb->{resources} || [] }) {
  printf "resource %s %d %d %s\n", $r->{type}, $r->{id}, length($r->{data}), unpack("H*", $r->{data});
}
if (!$pdb->{attributes}{resource}) {
  printf "appinfo %s\n", unpack("H*", $pdb->{appinfo} // "");
  for my $r (@{ $pdb->{records} || [] }) {
    printf "record %d %d %d %s\n", $r->{id}, $r->{category}, length($r->{data}), unpack("H*", $r->{data});
  }
}
